# The wizard modules that include no Windows header, and their tests: built
# into the wizard and, natively with sanitizers, by tests/native.
set(KODRA_WIZARD_PURE_SOURCES
  wizard/core/BatchSyntax.cpp
  wizard/core/ShutdownBatchText.cpp
  wizard/core/MessageBatch.cpp
)
set(KODRA_WIZARD_PURE_TESTS
  tests/wizard/ShutdownBatchTextTest.cpp
  tests/wizard/MessageBatchTest.cpp
)
