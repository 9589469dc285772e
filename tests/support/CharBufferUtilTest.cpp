#include "CharBufferUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <initializer_list>
#include <string>

namespace {

struct FieldCase {
    const char* text;
    const char* sep;
    int n;
    const char* plain;
    const char* collapsed;
};

const FieldCase kFieldCases[] = {
    {"|a||b|", "|", 1, "", "a"},
    {"|a||b|", "|", 2, "a", "b"},
    {"|a||b|", "|", 3, "", ""},
    {"|a||b|", "|", 4, "b", ""},
    {"|a||b|", "|", 5, "", ""},
    {"|a||b|", "|", 6, "", ""},
    {"a,,b", ",", 2, "", "b"},
    {"a,,b", ",", 3, "b", ""},
    {"a|", "|", 1, "a", "a"},
    {"a|", "|", 2, "", ""},
    {"|", "|", 1, "", ""},
    {"|", "|", 2, "", ""},
    {",,,", ",", 1, "", ""},
    {"a;;;b", ";;", 1, "a", "a"},
    {"a;;;b", ";;", 2, ";b", ";b"},
    {"a;;;;b", ";;", 2, "", "b"},
    {"abc", "|", 1, "abc", "abc"},
    {"abc", "|", 2, "", ""},
    {"", "|", 1, "", ""},
    {"a|b", "", 1, "a|b", "a|b"},
    {"a|b", "", 5, "a|b", "a|b"},
    {"a|b", "|", 0, "", ""},
    {"a|b", "|", -1, "", ""},
    {"a|b", "", 0, "", ""},
    {"x--y--z", "--", 3, "z", "z"},
    {"--x----y", "--", 2, "x", "y"},
};

TEST(CharBufferFields, GetFieldUnderBothRules)
{
    for (const FieldCase& c : kFieldCases) {
        SCOPED_TRACE(std::string("'") + c.text + "' by '" + c.sep + "' field " + std::to_string(c.n));
        char out[32] = "junk";
        EXPECT_STREQ(c.plain, GetFieldN(out, sizeof out, c.text, c.sep, c.n));
        std::strcpy(out, "junk");
        EXPECT_STREQ(c.collapsed, GetFieldCollapsed(out, sizeof out, c.text, c.sep, c.n));
    }
}

struct CountCase {
    const char* text;
    const char* sep;
    int plain;
    int collapsed;
};

const CountCase kCountCases[] = {
    {"", "|", 0, 0},         {"", "", 0, 0},        {"abc", "|", 1, 1},        {"a|b", "", 1, 1},
    {"|a||b|", "|", 5, 2},   {"a|", "|", 2, 1},     {"|", "|", 2, 0},          {",,,", ",", 4, 0},
    {"a,,b", ",", 3, 2},     {"a;;;b", ";;", 2, 2}, {"a;;;;b", ";;", 3, 2},    {"|||a", "|", 4, 1},
    {"a||", "|", 3, 1},      {"a b  c", " ", 4, 3}, {"--x----y", "--", 4, 2},
};

TEST(CharBufferFields, CountUnderBothRules)
{
    for (const CountCase& c : kCountCases) {
        SCOPED_TRACE(std::string("'") + c.text + "' by '" + c.sep + "'");
        EXPECT_EQ(c.plain, CountFieldsN(c.text, c.sep));
        EXPECT_EQ(c.collapsed, CountFieldsCollapsed(c.text, c.sep));
        EXPECT_EQ(c.plain, CountTokensN(c.text, c.sep));
        EXPECT_EQ(c.collapsed, CountSubStrings(c.text, c.sep));
    }
}

TEST(CharBufferFields, CopyToSeparator)
{
    char out[8];
    EXPECT_STREQ("ab", CopyToSeparator(out, sizeof out, "ab--cd", "--"));
    EXPECT_STREQ("ab-cd", CopyToSeparator(out, sizeof out, "ab-cd", "--"));
    EXPECT_STREQ("", CopyToSeparator(out, sizeof out, "--cd", "--"));
    // An empty separator begins right at the start.
    EXPECT_STREQ("", CopyToSeparator(out, sizeof out, "abc", ""));
}

TEST(CharBufferFields, FurtherEntryPointsTakeTheSameField)
{
    char a[8], b[8];
    EXPECT_STREQ("b", GetTokenN(a, sizeof a, "a|b", "|", 2));
    EXPECT_STREQ("b", GetSubString(b, sizeof b, "a|b", "|", 2));
}

// Each bounded writer, called with every size from 0 up, must store the
// leading size - 1 characters of its full result, terminate, and leave every
// byte from the size on as it was.
struct BoundedWriter {
    const char* name;
    const char* initial;  // text in the buffer before the call
    std::function<void(char*, int)> call;
    const char* full;
};

std::string ReadLineFile()
{
    const char* name = "charbuffer readline.txt";
    FILE* f = std::fopen(name, "wb");
    std::fputs("abcdef\nnext", f);
    std::fclose(f);
    return name;
}

TEST(CharBufferSizes, EveryWriteStaysInsideTheSize)
{
    const std::string lineFile = ReadLineFile();
    const BoundedWriter writers[] = {
        {"GetFieldN", "", [](char* b, int s) { GetFieldN(b, s, "x|abcdef|y", "|", 2); }, "abcdef"},
        {"GetFieldCollapsed", "", [](char* b, int s) { GetFieldCollapsed(b, s, "||abcdef||y", "|", 1); },
         "abcdef"},
        {"GetFieldN empty separator", "", [](char* b, int s) { GetFieldN(b, s, "a|b|c", "", 1); }, "a|b|c"},
        {"CopyToSeparator", "",
         [](char* b, int s) { CopyToSeparator(b, static_cast<unsigned>(s), "abcdef--g", "--"); }, "abcdef"},
        {"GetWhiteToken", "", [](char* b, int s) { GetWhiteToken(b, s, " x\tabcdef\r\n", 2); }, "abcdef"},
        {"CopyToWhite", "", [](char* b, int s) { CopyToWhite(b, static_cast<unsigned>(s), "abcdef\x1a"); },
         "abcdef"},
        {"GetWord", "", [](char* b, int s) { GetWord(b, s, "1 x-abcdef2", 2); }, "abcdef"},
        {"CopyAlpha", "", [](char* b, int s) { CopyAlpha(b, static_cast<unsigned>(s), "abcdef9"); }, "abcdef"},
        {"CopyBounded", "", [](char* b, int s) { CopyBounded(b, "abcdef", s); }, "abcdef"},
        {"CopyToBlank", "", [](char* b, int s) { CopyToBlank(b, "abcdef g", s); }, "abcdef"},
        {"StrCopyN", "", [](char* b, int s) { StrCopyN(b, "abcdef", static_cast<unsigned>(s)); }, "abcdef"},
        {"StrCatN", "ab", [](char* b, int s) { StrCatN(b, "cdef", static_cast<unsigned>(s)); }, "abcdef"},
        {"StrCatN long old text", "abcdefgh",
         [](char* b, int s) { StrCatN(b, "xy", static_cast<unsigned>(s)); }, "abcdefghxy"},
        {"ReadFileLine", "",
         [&lineFile](char* b, int s) {
             FILE* f = std::fopen(lineFile.c_str(), "rb");
             EXPECT_EQ(6, ReadFileLine(f, b, s));
             std::fclose(f);
         },
         "abcdef"},
    };
    for (const BoundedWriter& w : writers) {
        const int fullLen = static_cast<int>(std::strlen(w.full));
        for (int size = 0; size <= fullLen + 2; ++size) {
            SCOPED_TRACE(std::string(w.name) + " size " + std::to_string(size));
            char buf[24];
            std::memset(buf, '#', sizeof buf);
            std::memcpy(buf, w.initial, std::strlen(w.initial) + 1);
            char before[24];
            std::memcpy(before, buf, sizeof buf);
            w.call(buf, size);
            EXPECT_EQ(0, std::memcmp(buf + size, before + size, sizeof buf - size));
            if (size > 0) {
                EXPECT_EQ(std::string(w.full, std::min(fullLen, size - 1)), std::string(buf));
            }
        }
    }
    std::remove(lineFile.c_str());
}

TEST(CharBufferSizes, NegativeSizesWriteNothing)
{
    char buf[4] = "abc";
    GetFieldN(buf, -1, "x", "|", 1);
    GetFieldCollapsed(buf, -5, "x", "|", 1);
    GetWhiteToken(buf, -1, "x", 1);
    GetWord(buf, -1, "x", 1);
    CopyBounded(buf, "x", -1);
    CopyToBlank(buf, "x", -1);
    EXPECT_STREQ("abc", buf);
}

TEST(CharBufferTokens, WhiteSpaceTokens)
{
    const char* text = "  a \t b  ";
    EXPECT_EQ(2, CountWhiteTokens(text));
    EXPECT_EQ(0, CountWhiteTokens("   "));
    EXPECT_EQ(0, CountWhiteTokens(""));
    EXPECT_EQ(2, CountWhiteTokens("a\x1a" "b"));
    EXPECT_EQ(1, CountWhiteTokens("a\vb"));  // vertical tab is no white character here
    char out[8];
    EXPECT_STREQ("a", GetWhiteToken(out, sizeof out, text, 1));
    EXPECT_STREQ("b", GetWhiteToken(out, sizeof out, text, 2));
    EXPECT_STREQ("", GetWhiteToken(out, sizeof out, text, 3));
    EXPECT_STREQ("", GetWhiteToken(out, sizeof out, text, 0));
    EXPECT_STREQ("", GetWhiteToken(out, sizeof out, "   ", 1));
    EXPECT_STREQ("cd", GetWhiteToken(out, sizeof out, "ab\r\ncd", 2));
}

TEST(CharBufferTokens, WhiteCharacters)
{
    for (int c : std::initializer_list<int>{' ', '\t', '\n', '\r', 26, 0}) EXPECT_EQ(1, IsWhiteChar(c)) << c;
    for (int c : std::initializer_list<int>{'\v', '\f', 'a', 160, 255}) EXPECT_EQ(0, IsWhiteChar(c)) << c;
}

TEST(CharBufferTokens, Words)
{
    EXPECT_EQ(2, CountWords("12 ab,cd!"));
    EXPECT_EQ(0, CountWords("12 3!"));
    EXPECT_EQ(0, CountWords(""));
    char out[8];
    EXPECT_STREQ("ab", GetWord(out, sizeof out, "12 ab,cd!", 1));
    EXPECT_STREQ("cd", GetWord(out, sizeof out, "12 ab,cd!", 2));
    EXPECT_STREQ("", GetWord(out, sizeof out, "12 ab,cd!", 3));
    EXPECT_STREQ("", GetWord(out, sizeof out, "12 ab", -1));
    EXPECT_EQ(0, IsAlphaChar(0xE4));
    EXPECT_EQ(1, IsAlphaChar('Z'));
}

TEST(CharBufferCopies, PaddedCopies)
{
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    CopyPadBlanks(buf, "abcdef", 4);
    EXPECT_EQ(std::string("abcd####", 8), std::string(buf, 8));
    std::memset(buf, '#', sizeof buf);
    CopyPadBlanks(buf, "ab", 4);
    EXPECT_EQ(std::string("ab  ####", 8), std::string(buf, 8));
    std::memset(buf, '#', sizeof buf);
    CopyPadBlanks(buf, "ab", 0);
    CopyPadBlanks(buf, "ab", -2);
    EXPECT_EQ(std::string("########", 8), std::string(buf, 8));

    std::memset(buf, '#', sizeof buf);
    CopyPadZeros(buf, "ab", 4);
    EXPECT_EQ(std::string("ab\0\0\0###", 8), std::string(buf, 8));
    std::memset(buf, '#', sizeof buf);
    CopyPadZeros(buf, "abcdef", 4);
    EXPECT_EQ(std::string("abcd\0###", 8), std::string(buf, 8));
    std::memset(buf, '#', sizeof buf);
    CopyPadZeros(buf, "abcdef", -1);
    EXPECT_EQ(std::string("########", 8), std::string(buf, 8));
}

TEST(CharBufferCopies, DuplicateIsAHeapCopy)
{
    char* copy = StrDuplicate("text");
    ASSERT_NE(nullptr, copy);
    EXPECT_STREQ("text", copy);
    std::free(copy);
}

TEST(CharBufferCompare, Comparisons)
{
    EXPECT_EQ(0, StrCompareNoCase("KtMsg.EXE", "ktmsg.exe"));
    EXPECT_LT(StrCompareNoCase("abc", "ABD"), 0);
    EXPECT_GT(StrCompareNoCase("abcd", "ABC"), 0);
    EXPECT_EQ(0, StrCompareNoCaseN("abcX", "ABCy", 3));
    EXPECT_NE(0, StrCompareNoCaseN("abcX", "ABCy", 4));
    EXPECT_EQ(0, StrCompareN("abX", "abY", 2));
    EXPECT_EQ(3, StrLength("abc"));

    EXPECT_EQ(0, StrCompare("abc", "abc"));
    EXPECT_EQ('c' - 'd', StrCompare("abc", "abd"));
    EXPECT_EQ(-'c', StrCompare("ab", "abc"));
    EXPECT_EQ('c', StrCompare("abc", "ab"));
    // Characters are taken as signed bytes: 0x80 sorts before 'a'.
    EXPECT_EQ(-128 - 'a', StrCompare("\x80", "a"));
}

TEST(CharBufferTrim, BlanksOnly)
{
    char buf[16];
    EXPECT_STREQ("a b", TrimSpaces(buf, "  a b  "));
    EXPECT_STREQ("\ta\t", TrimSpaces(buf, "\ta\t"));
    EXPECT_STREQ("", TrimSpaces(buf, "    "));
    EXPECT_STREQ("", TrimBlanks(buf, ""));
    std::strcpy(buf, "   in place ");
    EXPECT_STREQ("in place", TrimSpaces(buf, buf));
}

TEST(CharBufferTrim, TrailingRuns)
{
    char buf[16] = "ab \t\r\n\x1a";
    EXPECT_STREQ("ab", TrimWhiteRight(buf));
    std::strcpy(buf, "   ");
    EXPECT_STREQ("", TrimWhiteRight(buf));
    std::strcpy(buf, "dir\\\\\\");
    StripTrailingChar(buf, '\\');
    EXPECT_STREQ("dir", buf);
    std::strcpy(buf, "\\\\");
    StripTrailingChar(buf, '\\');
    EXPECT_STREQ("", buf);
}

TEST(CharBufferCase, UpperCase)
{
    char buf[16];
    EXPECT_STREQ("KTMSG.EXE", StrUpperCopy(buf, "ktMsg.exe"));
    EXPECT_STREQ("\xe4\xff" "A", StrUpperCopy(buf, "\xe4\xff" "a"));
    std::strcpy(buf, "abc1");
    EXPECT_STREQ("ABC1", StrUpperInPlace(buf));
    EXPECT_EQ('A', UpperChar('a'));
    EXPECT_EQ(0xE4, UpperChar(0xE4));
}

struct AlignCase {
    const char* text;
    int width;
    int mode;
    const char* expected;
};

TEST(CharBufferLayout, AlignText)
{
    const AlignCase cases[] = {
        {"abc", 8, 1, "abc*****"},       {"abc", 8, 2, "*****abc"},       {"abc", 8, 3, "**abc***"},
        {"abcdefghij", 4, 0, "abcdefghij"}, {"abcdefghij", 4, 2, "abcdefghij"}, {"abcdefghij", 4, 3, "abcd"},
        {"", 3, 3, "***"},               {"abc", 0, 3, ""},               {"abc", 3, 3, "abc"},
        {"ab", 5, 3, "*ab**"},           {"abc", -3, 3, ""},              {"abc", -3, 1, "abc"},
        {"abc", -3, 2, "abc"},
    };
    for (const AlignCase& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " width " + std::to_string(c.width) + " mode " +
                     std::to_string(c.mode));
        char buf[24];
        std::memset(buf, '#', sizeof buf);
        std::strcpy(buf, c.text);
        AlignText(buf, c.width, '*', c.mode);
        EXPECT_STREQ(c.expected, buf);
        std::size_t used = std::max<std::size_t>(std::strlen(c.text), c.width > 0 ? c.width : 0) + 1;
        for (std::size_t i = used; i < sizeof buf; ++i) EXPECT_EQ('#', buf[i]) << i;
    }
}

TEST(CharBufferLayout, AlignTextCutsLongTextsAt255)
{
    std::string longText(300, 'x');
    for (int mode : {1, 2}) {
        std::string buf = longText;
        AlignText(&buf[0], 10, '*', mode);
        EXPECT_EQ(255u, std::strlen(buf.c_str())) << mode;
    }
    std::string wide(300, 'x');
    AlignText(&wide[0], 280, '*', 1);
    EXPECT_EQ(std::string(255, 'x') + std::string(25, '*'), std::string(wide.c_str()));
}

TEST(CharBufferLayout, PictureFill)
{
    char buf[16];
    EXPECT_STREQ("31.01.2024", PictureFill(buf, "20240131", "DD.MM.YYYY", "YYYYMMDD"));
    EXPECT_STREQ("31.01", PictureFill(buf, "20240131", "DD.MM", "YYYYMMDD"));
    EXPECT_STREQ("20-01", PictureFill(buf, "202401", "YY-MM", "YYYYMM"));
    EXPECT_STREQ("21-Y", PictureFill(buf, "12", "YM-Y", "MY"));
    // Fewer values than the mask names: the rest of the picture stays.
    EXPECT_STREQ("DD.MM.2024", PictureFill(buf, "2024", "DD.MM.YYYY", "YYYYMMDD"));
}

TEST(CharBufferLayout, FindInSpan)
{
    EXPECT_EQ(1, FindInSpan("hello world", "world", 11));
    EXPECT_EQ(0, FindInSpan("hello world", "world", 10));
    EXPECT_EQ(1, FindInSpan("hello", "he", 2));
    EXPECT_EQ(1, FindInSpan("abc", "", 0));
    EXPECT_EQ(0, FindInSpan("abc", "a", -1));
    // A span longer than the text is held to the text.
    EXPECT_EQ(1, FindInSpan("abc", "c", 50));
    EXPECT_EQ(0, FindInSpan("abc", "cd", 50));
}

TEST(CharBufferNumbers, Texts)
{
    char out[34];
    EXPECT_STREQ("-255", SignedToText(-255, out, 10));
    EXPECT_STREQ("ffffff01", SignedToText(-255, out, 16));
    EXPECT_STREQ("-2147483648", SignedToText(INT_MIN, out, 10));
    EXPECT_STREQ("0", SignedToText(0, out, 10));
    EXPECT_STREQ("ffffffff", LongToText(-1L, out, 16));
    EXPECT_STREQ("-1", LongToText(-1L, out, 10));
    EXPECT_STREQ("11111111", UnsignedToText(255, out, 2));
    EXPECT_STREQ(std::string(32, '1').c_str(), UnsignedToText(UINT_MAX, out, 2));
    EXPECT_STREQ("z", UnsignedToText(35, out, 36));
    EXPECT_STREQ("4294967295", UnsignedToText(UINT_MAX, out, 10));
    IntToText(static_cast<unsigned>(-5), out, 10, 1);
    EXPECT_STREQ("-5", out);
    // Radixes outside 2 .. 36 would divide by zero or never end.
    EXPECT_STREQ("", UnsignedToText(5, out, 1));
    EXPECT_STREQ("", SignedToText(5, out, 0));
    EXPECT_STREQ("", SignedToText(5, out, 37));
}

TEST(CharBufferDates, FormatDateTime)
{
    std::tm local{};
    local.tm_year = 2024 - 1900;
    local.tm_mon = 0;
    local.tm_mday = 31;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_sec = 7;
    local.tm_isdst = -1;
    const int32_t t = static_cast<int32_t>(std::mktime(&local));
    char date[11], clock[9];
    FormatDateTime(t, date, clock, 0x03);
    EXPECT_STREQ("31.01.24", date);
    EXPECT_STREQ("09:05:07", clock);
    FormatDateTime(t, date, clock, 0);
    EXPECT_STREQ("31.01.2024", date);
    EXPECT_STREQ("09:05", clock);
    std::strcpy(clock, "kept");
    FormatDateTime(t, date, nullptr, 0x02);
    FormatDateTime(t, nullptr, nullptr, 0);
    EXPECT_STREQ("kept", clock);
}

TEST(CharBufferFiles, DirectoryAndName)
{
    struct Case {
        const char* path;
        const char* directory;
        const char* name;
    } const cases[] = {
        {"D:\\dir\\file.txt", "D:\\dir", "file.txt"},
        {"\\file", "", "file"},
        {"file", "", "file"},
        {"D:file", "D", "file"},
        {"a/b:c", "a/b", "c"},
        {"D:\\dir\\", "D:\\dir", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        char buf[32];
        EXPECT_STREQ(c.directory, FileDirectory(buf, c.path)) << c.path;
        EXPECT_STREQ(c.name, FileNamePart(buf, c.path)) << c.path;
    }
    char same[32] = "C:\\x\\y.exe";
    EXPECT_STREQ("y.exe", FileNamePart(same, same));
}

TEST(CharBufferFiles, ReadFileLine)
{
    const char* name = "charbuffer lines.txt";
    FILE* f = std::fopen(name, "wb");
    ASSERT_NE(nullptr, f);
    std::fputs("first\n\xff\xfe x\n\nlast", f);
    std::fclose(f);
    f = std::fopen(name, "rb");
    char buf[16];
    EXPECT_EQ(5, ReadFileLine(f, buf, sizeof buf));
    EXPECT_STREQ("first", buf);
    EXPECT_EQ(4, ReadFileLine(f, buf, sizeof buf));
    EXPECT_STREQ("\xff\xfe x", buf);
    EXPECT_EQ(0, ReadFileLine(f, buf, sizeof buf));
    EXPECT_STREQ("", buf);
    EXPECT_EQ(4, ReadFileLine(f, buf, sizeof buf));
    EXPECT_STREQ("last", buf);
    EXPECT_EQ(0, ReadFileLine(f, buf, sizeof buf));
    std::fclose(f);
    std::remove(name);

    std::strcpy(buf, "kept");
    EXPECT_EQ(0, ReadFileLine(nullptr, buf, sizeof buf));
    EXPECT_STREQ("kept", buf);
}

TEST(CharBufferFiles, LongLineIsCutAndTheNextLineFollows)
{
    const char* name = "charbuffer long line.txt";
    FILE* f = std::fopen(name, "wb");
    ASSERT_NE(nullptr, f);
    std::fputs("0123456789\nnext\n", f);
    std::fclose(f);
    f = std::fopen(name, "rb");
    char buf[8];
    EXPECT_EQ(10, ReadFileLine(f, buf, 4));
    EXPECT_STREQ("012", buf);
    EXPECT_EQ(4, ReadFileLine(f, buf, sizeof buf));
    EXPECT_STREQ("next", buf);
    std::fclose(f);
    std::remove(name);
}

}  // namespace
