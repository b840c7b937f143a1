# zrk6_add_test(NAME name LABEL label SOURCES ... LIBS ... [GTEST] [QTEST])
# zrk6_add_test(NAME name LABEL label SCRIPT file.sh [ARGS ...])
# Makes one test executable (or takes a shell script) and registers it with CTest under
# the given label. GTEST links GoogleTest's main; QTEST runs the test offscreen.
# Tests find their fixtures through ZRK6_SOURCE_DIR / ZRK6_BINARY_DIR, never the working directory.
function(zrk6_add_test)
  cmake_parse_arguments(T "GTEST;QTEST" "NAME;LABEL;TIMEOUT;SCRIPT" "SOURCES;LIBS;ARGS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(T_SCRIPT)
    add_test(NAME ${T_NAME} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/${T_SCRIPT} ${T_ARGS})
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABEL}" TIMEOUT ${T_TIMEOUT})
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS})
  if(T_GTEST)
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
  endif()
  if(T_QTEST)
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test)
  endif()
  target_compile_definitions(${T_NAME} PRIVATE
    ZRK6_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    ZRK6_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABEL}" TIMEOUT ${T_TIMEOUT})
  # Backups that transfers make in tests stay in the build tree, out of the user's home.
  set_property(TEST ${T_NAME} APPEND PROPERTY ENVIRONMENT "ZRK6_BACKUP_DIR=${PROJECT_BINARY_DIR}/test-backups")
  if(T_QTEST)
    set_property(TEST ${T_NAME} APPEND PROPERTY ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
