#include "MailerSettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const unsigned char kKey[12] = {0x9C, 0x1E, 0x85, 0x93, 0x07, 0x82,
                                0x99, 0x14, 0x86, 0x8D, 0x02, 0x8F};

TEST(ScramblePassword, EveryByteCombinedWithKeyByteModulo12)
{
    const std::string clear = "Secret#Pass13";  // 13 characters: the last uses key byte 0 again
    char out[64];
    ScramblePassword(out, clear.c_str(), sizeof out);
    ASSERT_EQ(clear.size(), std::strlen(out));
    for (size_t i = 0; i < clear.size(); ++i)
        EXPECT_EQ(static_cast<unsigned char>(clear[i]) ^ kKey[i % 12],
                  static_cast<unsigned char>(out[i])) << "byte " << i;
    EXPECT_EQ(static_cast<unsigned char>('3' ^ 0x9C), static_cast<unsigned char>(out[12]));
}

TEST(ScramblePassword, SameCallUnscrambles)
{
    char stored[128];
    char clear[128];
    ScramblePassword(stored, "pa$$ word with & and %PATH%", sizeof stored);
    ScramblePassword(clear, stored, sizeof clear);
    EXPECT_STREQ("pa$$ word with & and %PATH%", clear);
}

TEST(ScramblePassword, CutToSizeMinusOneAndRestCleared)
{
    char out[8];
    std::memset(out, 'x', sizeof out);
    ScramblePassword(out, "abcdefghijkl", sizeof out);
    EXPECT_EQ(7u, std::strlen(out));
    EXPECT_EQ('\0', out[7]);

    std::memset(out, 'x', sizeof out);
    ScramblePassword(out, "ab", sizeof out);
    for (size_t i = 2; i < sizeof out; ++i) EXPECT_EQ('\0', out[i]) << "byte " << i;
}

TEST(ScramblePassword, EmptyTextAndOneByteBuffer)
{
    char out[4] = {'x', 'x', 'x', 'x'};
    ScramblePassword(out, "", sizeof out);
    EXPECT_EQ(0, std::memcmp(out, "\0\0\0\0", 4));
    char one[1] = {'x'};
    ScramblePassword(one, "abc", 1);
    EXPECT_EQ('\0', one[0]);
}

TEST(ScramblePassword, PrintablePasswordNeverScramblesToZero)
{
    std::string all;
    for (int c = 0x20; c < 0x7F; ++c) all += static_cast<char>(c);
    for (size_t shift = 0; shift < 12; ++shift) {
        std::string text = std::string(shift, 'a') + all;
        char out[256];
        ScramblePassword(out, text.c_str(), sizeof out);
        EXPECT_EQ(text.size(), std::strlen(out));
    }
}

}  // namespace
