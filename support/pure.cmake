# The support modules that include no Windows header, and their tests: built
# into the support library and, natively with sanitizers, by tests/native.
set(KODRA_PURE_SOURCES
  support/Smoke.cpp
)
set(KODRA_PURE_TESTS
  tests/support/SmokeTest.cpp
)
