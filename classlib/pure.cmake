# The class library's string and the helpers on it include no Windows header:
# the code page and the string table are in CStringWin.cpp, the program's
# folder in support/IniUtilWin.cpp. tests/native and tests/fuzz build them
# natively, with tests/native/CodePageDouble.cpp for the system's code page.
set(KODRA_CLASSLIB_PURE_SOURCES
  classlib/CString.cpp
  support/IniUtil.cpp
  support/uncalled/ProfileText.cpp
)
set(KODRA_CLASSLIB_PURE_TESTS
  tests/classlib/ProfileTextTest.cpp
)
