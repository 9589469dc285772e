#include "CharBufferUtil.h"
#include "testlib.h"

#include <gtest/gtest.h>

namespace {

TEST(CharBufferPlatform, FileExistsOpen)
{
    testlib::ScratchDir dir("kodra open");
    const std::string file = dir.File("present file.txt");
    ASSERT_TRUE(testlib::WriteTextFile(file, "x"));
    EXPECT_EQ(1, FileExistsOpen(file.c_str()));
    EXPECT_EQ(0, FileExistsOpen(dir.File("absent.txt").c_str()));
    EXPECT_EQ(0, FileExistsOpen(dir.File("no folder\\absent.txt").c_str()));
}

}  // namespace
