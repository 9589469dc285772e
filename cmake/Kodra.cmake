# Every CTest entry has a time-out, so a test that hangs fails with its name
# instead of holding up the run. This is the default of every entry that sets
# no TIMEOUT of its own, however it was added (CTest reads it from
# DartConfiguration.tcl); no dashboard targets come with it.
set(KODRA_TEST_TIMEOUT 300)
set(DART_TESTING_TIMEOUT ${KODRA_TEST_TIMEOUT} CACHE STRING "Default time-out of a test, seconds" FORCE)
set_property(GLOBAL PROPERTY CTEST_TARGETS_ADDED 1)
include(CTest)

# The Windows tests run in test sessions (tests/session.sh), each its own Wine
# prefix, display and network, which CTest hands out as the resource
# "sessions". A session takes this many tests at once.
set(KODRA_SESSION_SLOTS 2)

# kodra_windows_test(NAME COMMAND ... [WORKING_DIRECTORY ...]): add_test for a
# test that runs under Wine, in one slot of a session. Its label lets a run
# choose the Windows tests.
function(kodra_windows_test name)
  add_test(NAME ${name} ${ARGN})
  set_tests_properties(${name} PROPERTIES LABELS windows RESOURCE_GROUPS "sessions:1")
endfunction()

# kodra_session_exclusive(TEST...): the tests need their session to themselves,
# because they use its display and focus, its services, or registry keys and
# ports that other tests use too.
function(kodra_session_exclusive)
  set_tests_properties(${ARGN} PROPERTIES RESOURCE_GROUPS "sessions:${KODRA_SESSION_SLOTS}")
endfunction()

# kodra_locale_tests(PROGRAM [EXPECT] LOCALES ...): one more entry of a test
# program per user-interface language, PROGRAM_<two letters>, whose Wine runs
# under that locale, with the session to itself; with EXPECT the program is
# told the language it must find (KODRA_EXPECT_LANG).
function(kodra_locale_tests program)
  cmake_parse_arguments(L "EXPECT" "" "LOCALES" ${ARGN})
  foreach(locale ${L_LOCALES})
    string(SUBSTRING ${locale} 0 2 lang)
    set(environment "KODRA_LANG=${locale}.UTF-8")
    if(L_EXPECT)
      list(APPEND environment "KODRA_EXPECT_LANG=${lang}")
    endif()
    kodra_windows_test(${program}_${lang} COMMAND ${program} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
    kodra_session_exclusive(${program}_${lang})
    set_tests_properties(${program}_${lang} PROPERTIES ENVIRONMENT "${environment}")
  endforeach()
endfunction()

# kodra_add_gtest(NAME SOURCES... [LIBS ...] [GUI])
# One CTest entry per test executable, since each Wine start costs time; GUI
# tests use the display and focus, so they have their session to themselves.
function(kodra_add_gtest name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} testlib gmock gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
  kodra_windows_test(${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
  if(T_GUI)
    kodra_session_exclusive(${name})
  endif()
endfunction()
