# The support modules that include no Windows header, and their tests: built
# into the support libraries and, natively with sanitizers, by tests/native.
set(KODRA_PURE_SOURCES
  support/CharBufferUtil.cpp
  support/StringUtil.cpp
  support/PathUtil.cpp
  support/CPathString.cpp
  support/MailerSettings.cpp
  support/CatalogText.cpp
  support/MessageRecord.cpp
)
# Those that no program calls, apart in support/uncalled/.
set(KODRA_UNCALLED_PURE_SOURCES
  support/uncalled/FixedList.cpp
  support/uncalled/DateTimeUtil.cpp
)
set(KODRA_PURE_TESTS
  tests/support/CharBufferUtilTest.cpp
  tests/support/StringUtilTest.cpp
  tests/support/PathUtilTest.cpp
  tests/support/MailPasswordTest.cpp
  tests/support/FixedListTest.cpp
  tests/support/DateTimeUtilTest.cpp
  tests/support/MessageRecordTest.cpp
)
