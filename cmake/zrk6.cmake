# zrk6_add_test(NAME name LABEL label SOURCES ... LIBS ... [GTEST] [QTEST] [UNIX_ONLY reason]
#               [WINE_RADIO [WINE_FUNCTIONS function[:data tag] ...]])
# zrk6_add_test(NAME name LABEL label SCRIPT file.sh [ARGS ...])
# Makes one test executable (or takes a shell script) and registers it with CTest under
# the given label. GTEST links GoogleTest's main; QTEST runs the test offscreen.
# A QTEST test (without GTEST) is an object library linked into its folder's one Qt test
# program, zrk6_qtests_FOLDER (see tests/support/qtest_registry.h): CTest still runs each
# class in a process of its own under the test's name, and the lines after the call that
# name the test (definitions, include folders, dependencies) apply to its sources.
# Tests find their fixtures through ZRK6_SOURCE_DIR / ZRK6_BINARY_DIR, never the working directory.
#
# On Windows (the cross-build of make test-windows) every test is built and run unless it is
# Unix by nature: a test given UNIX_ONLY with its reason (pseudo-terminals, rlimit, FIFOs,
# chown, tmpfs, symlinks), a test linking the virtual radio unless it is marked WINE_RADIO, and
# the shell-script tests. Those are left out with their reason in the configure output; their
# targets still exist (not built) so the lines after the call that name them keep working.
# WINE_RADIO: under Wine the test's virtual radios are started for it on the Linux side
# (scripts/wine-test.sh --radio); see zrk6_test_radiosim() below for the Linux side's program.
# WINE_FUNCTIONS: under Wine only these Qt Test functions (or rows) run. Wine's serial emulation
# takes about 13 ms a block (a whole transfer about 7 s, against 0.2 s on Linux), so the Windows
# run takes the transfers that exercise Windows' own serial code; Linux runs every one.
# The Qt modules every Qt test program links (also its precompiled header's host), so all are
# compiled with the same Qt definitions and can share one precompiled header.
set(ZRK6_QT_TEST_LIBS Qt6::Test Qt6::Widgets Qt6::PrintSupport Qt6::SerialPort)

function(zrk6_add_test)
  cmake_parse_arguments(T "GTEST;QTEST;WINE_RADIO" "NAME;LABEL;TIMEOUT;SCRIPT;UNIX_ONLY" "SOURCES;LIBS;ARGS;WINE_FUNCTIONS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
    if(T_WINE_RADIO AND NOT UNIX) # transfers are slow under Wine (see WINE_FUNCTIONS)
      set(T_TIMEOUT 300)
    endif()
  endif()
  if(NOT T_UNIX_ONLY AND NOT T_WINE_RADIO AND "zrk6_radiosim_lib" IN_LIST T_LIBS)
    set(T_UNIX_ONLY "it starts the virtual radio, and is not marked WINE_RADIO")
  endif()
  if(T_SCRIPT)
    if(NOT UNIX)
      message(STATUS "Left out on Windows: ${T_NAME} (a shell script of the build machine)")
      return()
    endif()
    add_test(NAME ${T_NAME} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/${T_SCRIPT} ${T_ARGS})
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABEL}" TIMEOUT ${T_TIMEOUT})
    if(ZRK6_SANITIZE) # the programs a script starts are Qt programs: see below
      set_property(TEST ${T_NAME} APPEND PROPERTY ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
    endif()
    return()
  endif()
  set(shared_program FALSE)
  if(T_QTEST AND NOT T_GTEST)
    set(shared_program TRUE)
  endif()
  if(T_UNIX_ONLY AND NOT UNIX)
    if(shared_program)
      add_library(${T_NAME} OBJECT EXCLUDE_FROM_ALL ${T_SOURCES})
    else()
      add_executable(${T_NAME} EXCLUDE_FROM_ALL ${T_SOURCES})
    endif()
    message(STATUS "Left out on Windows: ${T_NAME} (${T_UNIX_ONLY})")
    return()
  endif()
  if(shared_program)
    add_library(${T_NAME} OBJECT ${T_SOURCES})
    target_link_libraries(${T_NAME} PUBLIC ${T_LIBS})
    target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    get_filename_component(folder "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
    set(program zrk6_qtests_${folder})
    if(NOT TARGET ${program})
      add_executable(${program})
      target_link_libraries(${program} PRIVATE zrk6_qtest_main)
      zrk6_no_qt_autogen(${program})
    endif()
    target_link_libraries(${program} PRIVATE ${T_NAME})
    # The class the program runs for this test: the one its QTEST_MAIN names.
    set(class "")
    foreach(source ${T_SOURCES})
      if(source MATCHES "\\.cpp$")
        file(READ ${CMAKE_CURRENT_SOURCE_DIR}/${source} text)
        if(text MATCHES "QTEST_[A-Z_]*MAIN\\(([A-Za-z0-9_]+)\\)")
          set(class ${CMAKE_MATCH_1})
        endif()
      endif()
    endforeach()
    if(NOT class)
      message(FATAL_ERROR "${T_NAME}: no QTEST_MAIN in ${T_SOURCES}")
    endif()
  else()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS})
  endif()
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
      # An object library: the header is all it is for, so nothing is linked.
      add_library(${host} OBJECT ${PROJECT_SOURCE_DIR}/tests/support/pch_host.cpp)
      target_link_libraries(${host} PRIVATE ${ZRK6_QT_TEST_LIBS})
      target_precompile_headers(${host} PRIVATE <QtTest/QtTest> <QtWidgets/QtWidgets>
        ${PROJECT_SOURCE_DIR}/tests/support/qtest_registry.h)
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
  set(executable ${T_NAME})
  if(shared_program)
    set(command ${program} ${T_NAME} ${class})
    set(executable ${program})
  endif()
  # Under Wine every test runs through a script that shows Qt Test's log (written to the
  # debugger otherwise) and tells a program Wine did not start from a failing one.
  if(NOT UNIX AND CMAKE_CROSSCOMPILING_EMULATOR)
    list(POP_FRONT command)
    set(kind "")
    if(T_WINE_RADIO)
      list(APPEND kind --radio)
    endif()
    if(T_QTEST AND NOT T_GTEST)
      list(APPEND kind --qtest)
    endif()
    set(command bash ${PROJECT_SOURCE_DIR}/scripts/wine-test.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
        ${kind} $<TARGET_FILE:${executable}> ${command})
  endif()
  if(T_QTEST AND NOT UNIX)
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
    get_target_property(imported ${executable} ZRK6_OFFSCREEN_IMPORTED)
    if(widgets AND NOT imported)
      set_target_properties(${executable} PROPERTIES ZRK6_OFFSCREEN_IMPORTED TRUE)
      qt_import_plugins(${executable} INCLUDE Qt6::QOffscreenIntegrationPlugin)
    endif()
    if(widgets)
      list(APPEND command -platform offscreen)
    endif()
    list(APPEND command ${T_WINE_FUNCTIONS})
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
  # The end-to-end tests' shortened time-outs, milder for the slower programs: sanitized ones,
  # and Windows ones under Wine, whose serial notifications come later than Linux's.
  if(ZRK6_SANITIZE OR (NOT UNIX AND CMAKE_CROSSCOMPILING_EMULATOR))
    set_property(TEST ${T_NAME} APPEND PROPERTY ENVIRONMENT "ZRK6_TEST_SHORT_TIME_SCALE=0.5")
  endif()
endfunction()

# zrk6_test_radiosim(test [CLI]): the test starts zrk6-radiosim (and with CLI zrk6-cli) by the
# paths ZRK6_RADIOSIM and ZRK6_CLI. Under Wine the radios come from the Linux side instead (see
# WINE_RADIO above), so there the radio program is neither named nor built.
function(zrk6_test_radiosim test)
  if(UNIX)
    target_compile_definitions(${test} PRIVATE ZRK6_RADIOSIM="$<TARGET_FILE:zrk6-radiosim>")
    add_dependencies(${test} zrk6-radiosim)
  endif()
  if("CLI" IN_LIST ARGN)
    target_compile_definitions(${test} PRIVATE ZRK6_CLI="$<TARGET_FILE:zrk6-cli>")
    add_dependencies(${test} zrk6-cli)
  endif()
endfunction()
