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

// Bytes of code page 1252 equal to the key byte at their position: stored as
// a text value the scrambled password would end there.
TEST(ScramblesToZero, FindsTheBytesThatWouldEndTheStoredText)
{
    struct Case {
        const char* password;
        bool zero;
        size_t storedLength;
    } cases[] = {
        {"\x9C" "bersicht1", true, 0},    // oe ligature, key byte 0
        {"abc\x93" "def\x94", true, 3},   // left double quotation mark, key byte 3
        {"Brand1\x99x", true, 6},         // trade mark sign, key byte 6
        {"abcde\x82\xA0", true, 5},       // a hiragana's lead byte in 932, key byte 5
        {"0123456789ab\x9C", true, 12},   // key byte 0 again at the thirteenth
        {"x\x9C" "bersicht1", false, 11},
        {"Gr\xFC\xDF" "e1", false, 6},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.zero, ScramblesToZero(c.password)) << c.password;
        char out[128];
        ScramblePassword(out, c.password, sizeof out);
        EXPECT_EQ(c.storedLength, std::strlen(out)) << c.password;
    }
}

TEST(HoldsControlCharacter, BelowTheBlankOrDelete)
{
    EXPECT_TRUE(HoldsControlCharacter("pw\x1B" "damaged"));
    EXPECT_TRUE(HoldsControlCharacter("\x01"));
    EXPECT_TRUE(HoldsControlCharacter("Passw0\x18Q"));
    EXPECT_TRUE(HoldsControlCharacter("del\x7F"));
    EXPECT_FALSE(HoldsControlCharacter(" ~!pa$$ word"));
    EXPECT_FALSE(HoldsControlCharacter("Gr\xFC\xDF" "e1\x80\xFF"));
    EXPECT_FALSE(HoldsControlCharacter(""));
}

TEST(HoldsDoubleQuote, AnywhereInTheValue)
{
    EXPECT_TRUE(HoldsDoubleQuote("\"bob"));
    EXPECT_TRUE(HoldsDoubleQuote("pa\"ss"));
    EXPECT_TRUE(HoldsDoubleQuote("pw\""));
    EXPECT_FALSE(HoldsDoubleQuote("a&b|c<d>e^f%PATH%'`\\"));
    EXPECT_FALSE(HoldsDoubleQuote(""));
}

}  // namespace
