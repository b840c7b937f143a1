# zrk6_add_test(NAME name LABEL label SOURCES ... LIBS ... [GTEST] [QTEST] [UNIX_ONLY reason])
# zrk6_add_test(NAME name LABEL label SCRIPT file.sh [ARGS ...])
# Makes one test executable (or takes a shell script) and registers it with CTest under
# the given label. GTEST links GoogleTest's main; QTEST runs the test offscreen.
# Tests find their fixtures through ZRK6_SOURCE_DIR / ZRK6_BINARY_DIR, never the working directory.
#
# On Windows (the cross-build of make test-windows) every test is built and run unless it is
# Unix by nature: a test given UNIX_ONLY with its reason (pseudo-terminals, rlimit, FIFOs,
# chown, tmpfs, symlinks), a test linking the virtual radio, and the shell-script tests. Those
# are left out with their reason in the configure output; their targets still exist (not
# built) so the lines after the call that name them keep working.
# The Qt modules every Qt test program links (also its precompiled header's host), so all are
# compiled with the same Qt definitions and can share one precompiled header.
set(ZRK6_QT_TEST_LIBS Qt6::Test Qt6::Widgets Qt6::PrintSupport Qt6::SerialPort)

function(zrk6_add_test)
  cmake_parse_arguments(T "GTEST;QTEST" "NAME;LABEL;TIMEOUT;SCRIPT;UNIX_ONLY" "SOURCES;LIBS;ARGS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(NOT T_UNIX_ONLY AND "zrk6_radiosim_lib" IN_LIST T_LIBS)
    set(T_UNIX_ONLY "the virtual radio runs on a pseudo-terminal")
  endif()
  if(T_SCRIPT)
    if(NOT UNIX)
      message(STATUS "Left out on Windows: ${T_NAME} (a shell script of the build machine)")
      return()
    endif()
    add_test(NAME ${T_NAME} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/${T_SCRIPT} ${T_ARGS})
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABEL}" TIMEOUT ${T_TIMEOUT})
    return()
  endif()
  if(T_UNIX_ONLY AND NOT UNIX)
    add_executable(${T_NAME} EXCLUDE_FROM_ALL ${T_SOURCES})
    message(STATUS "Left out on Windows: ${T_NAME} (${T_UNIX_ONLY})")
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS})
  if(T_GTEST)
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
    if(NOT T_QTEST)
      zrk6_no_qt_autogen(${T_NAME})
      target_precompile_headers(${T_NAME} REUSE_FROM zrk6_gtest_pch)
    endif()
  endif()
  if(T_QTEST)
    target_link_libraries(${T_NAME} PRIVATE ${ZRK6_QT_TEST_LIBS})
    string(MD5 folder "${CMAKE_CURRENT_SOURCE_DIR}")
    set(host zrk6_qtest_pch_${folder})
    if(NOT TARGET ${host})
      add_executable(${host} ${PROJECT_SOURCE_DIR}/tests/support/pch_host.cpp)
      target_link_libraries(${host} PRIVATE ${ZRK6_QT_TEST_LIBS})
      target_precompile_headers(${host} PRIVATE <QtTest/QtTest> <QtWidgets/QtWidgets>)
      zrk6_no_qt_autogen(${host})
    endif()
    target_precompile_headers(${T_NAME} REUSE_FROM ${host})
    # moc's file of a test that includes its own .moc is empty: loading the header costs more.
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_autogen/mocs_compilation.cpp
      TARGET_DIRECTORY ${T_NAME} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
  endif()
  target_compile_definitions(${T_NAME} PRIVATE
    ZRK6_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    ZRK6_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set(command ${T_NAME})
  if(T_QTEST AND NOT UNIX)
    # Under Wine Qt Test logs to the debugger: a script shows the log (scripts/wine-qtest.sh).
    if(CMAKE_CROSSCOMPILING_EMULATOR)
      set(command bash ${PROJECT_SOURCE_DIR}/scripts/wine-qtest.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
          $<TARGET_FILE:${T_NAME}>)
    endif()
    # A static Qt loads no plugins at run time, and under Wine QT_QPA_PLATFORM does not reach
    # the program: the window tests take the offscreen platform in and name it themselves.
    set(widgets FALSE)
    foreach(source ${T_SOURCES})
      if(source MATCHES "\\.cpp$")
        file(READ ${CMAKE_CURRENT_SOURCE_DIR}/${source} text)
        if(text MATCHES "QTEST_MAIN")
          set(widgets TRUE)
        endif()
      endif()
    endforeach()
    if(widgets)
      qt_import_plugins(${T_NAME} INCLUDE Qt6::QOffscreenIntegrationPlugin)
      list(APPEND command -platform offscreen)
    endif()
  endif()
  add_test(NAME ${T_NAME} COMMAND ${command})
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABEL}" TIMEOUT ${T_TIMEOUT})
  if(T_UNIX_ONLY)
    set_property(TEST ${T_NAME} APPEND PROPERTY LABELS unix-only)
  endif()
  # Backups that transfers make in tests stay in the build tree, out of the user's home.
  set_property(TEST ${T_NAME} APPEND PROPERTY ENVIRONMENT "ZRK6_BACKUP_DIR=${PROJECT_BINARY_DIR}/test-backups")
  if(T_QTEST)
    set_property(TEST ${T_NAME} APPEND PROPERTY ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    # Qt, fontconfig and the platform plugin keep caches for the life of the process, which
    # LeakSanitizer reports as leaks; the address and undefined-behaviour checks stay on.
    if(ZRK6_SANITIZE)
      set_property(TEST ${T_NAME} APPEND PROPERTY ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
    endif()
  endif()
endfunction()
