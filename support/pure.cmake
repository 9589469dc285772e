# The support modules that include no Windows header, and their tests: built
# into the support library and, natively with sanitizers, by tests/native.
set(KODRA_PURE_SOURCES
  support/CharBufferUtil.cpp
  support/StringUtil.cpp
  support/PathUtil.cpp
  support/CPathString.cpp
  support/MailPassword.cpp
  support/FixedList.cpp
  support/DateTimeUtil.cpp
  support/CatalogText.cpp
)
set(KODRA_PURE_TESTS
  tests/support/CharBufferUtilTest.cpp
  tests/support/StringUtilTest.cpp
  tests/support/PathUtilTest.cpp
  tests/support/MailPasswordTest.cpp
  tests/support/FixedListTest.cpp
  tests/support/DateTimeUtilTest.cpp
)
