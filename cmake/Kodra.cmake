# Every CTest entry has a time-out, so a test that hangs fails with its name
# instead of holding up the run. This is the default of every entry that sets
# no TIMEOUT of its own, however it was added (CTest reads it from
# DartConfiguration.tcl); no dashboard targets come with it.
set(KODRA_TEST_TIMEOUT 300)
set(DART_TESTING_TIMEOUT ${KODRA_TEST_TIMEOUT} CACHE STRING "Default time-out of a test, seconds" FORCE)
set_property(GLOBAL PROPERTY CTEST_TARGETS_ADDED 1)
include(CTest)

# kodra_windows_test(NAME COMMAND ... [WORKING_DIRECTORY ...]): add_test for a
# test that runs under Wine. Its label lets a machine without Wine run the rest.
function(kodra_windows_test name)
  add_test(NAME ${name} ${ARGN})
  set_tests_properties(${name} PROPERTIES LABELS windows)
endfunction()

# kodra_locale_tests(PROGRAM [EXPECT] LOCKS ... LOCALES ...): one more entry of
# a test program per user-interface language, PROGRAM_<two letters>, whose Wine
# runs under that locale; with EXPECT the program is told the language it must
# find (KODRA_EXPECT_LANG).
function(kodra_locale_tests program)
  cmake_parse_arguments(L "EXPECT" "" "LOCKS;LOCALES" ${ARGN})
  foreach(locale ${L_LOCALES})
    string(SUBSTRING ${locale} 0 2 lang)
    set(environment "KODRA_LANG=${locale}.UTF-8")
    if(L_EXPECT)
      list(APPEND environment "KODRA_EXPECT_LANG=${lang}")
    endif()
    kodra_windows_test(${program}_${lang} COMMAND ${program} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
    set_tests_properties(${program}_${lang} PROPERTIES RESOURCE_LOCK "${L_LOCKS}"
                         ENVIRONMENT "${environment}")
  endforeach()
endfunction()

# kodra_add_gtest(NAME SOURCES... [LIBS ...] [GUI])
# One CTest entry per test executable: each Wine start costs time.
# GUI tests share the display and focus, so they run one at a time.
function(kodra_add_gtest name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} testlib gmock gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
  kodra_windows_test(${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
  if(T_GUI)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK display)
  endif()
endfunction()
