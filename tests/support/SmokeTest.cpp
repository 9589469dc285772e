#include <gtest/gtest.h>
int SmokeValue();
TEST(Smoke, Value) { EXPECT_EQ(42, SmokeValue()); }
