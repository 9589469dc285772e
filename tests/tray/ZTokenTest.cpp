// The field tokenizer, as tables of cases.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "ZToken.h"

namespace {

TEST(CZToken, Count)
{
    struct Case {
        const char* delimiter;
        const char* text;
        int count;
    } cases[] = {
        {"|", "KODRA|12|hello world|", 4},
        {"|", "", 0},
        {"|", "abc", 1},
        {"|", "|", 2},
        {"|", "|a||b|", 5},
        {"::", "a::b:c", 2},
        {"", "a|b", 1},
    };
    for (const Case& c : cases) {
        CZToken t(c.delimiter);
        EXPECT_EQ(t.Count(c.text), c.count) << c.text << " by " << c.delimiter;
    }
    EXPECT_EQ(CZToken("|").Count(nullptr), 0);
}

TEST(CZToken, GetField)
{
    const std::string hundred(100, 'x');
    struct Case {
        const char* text;
        int index;
        bool trim;
        int max;
        std::string field;
    } cases[] = {
        {"KODRA|5| hello |", 3, true, 64, "hello"},
        {"KODRA|5| hello |", 3, false, 64, " hello "},
        {"KODRA|5|hello|", 4, true, 64, ""},
        {"a|b", 9, true, 64, ""},
        {"a|b", 0, true, 64, ""},
        {"a||b", 2, true, 64, ""},
        {hundred.c_str(), 1, true, 64, std::string(63, 'x')},
        {"abc", 1, true, 1, ""},
        {"abc", 1, true, 3, "ab"},
    };
    CZToken t("|");
    for (const Case& c : cases) {
        char dest[128];
        memset(dest, '#', sizeof dest);
        EXPECT_EQ(t.GetField(dest, c.max, c.text, c.index, c.trim), 1) << c.text;
        EXPECT_EQ(std::string(dest), c.field) << c.text << " field " << c.index;
        EXPECT_EQ(dest[c.max], '#') << "nothing written past max";
    }
    char dest[4] = "###";
    EXPECT_EQ(t.GetField(nullptr, 4, "a", 1, true), 0);
    EXPECT_EQ(t.GetField(dest, 4, nullptr, 1, true), 0);
    EXPECT_EQ(t.GetField(dest, 0, "a", 1, true), 1);
    EXPECT_STREQ(dest, "###");
}

TEST(CZToken, Numbers)
{
    struct Case {
        const char* field;
        int32_t asInt;
        uint16_t asUShort;
        int16_t asShort;
        uint32_t asUInt;
    } cases[] = {
        {" 42 ", 42, 42, 42, 42},
        {"abc", 0, 0, 0, 0},
        {"", 0, 0, 0, 0},
        {"12abc", 12, 12, 12, 12},
        {"65535", 65535, 65535, -1, 65535},
        {"65536", 65536, 0, 0, 65536},
        {"65537", 65537, 1, 1, 65537},
        {"-5", -5, 65531, -5, 4294967291u},
        {"+7", 7, 7, 7, 7},
        {"- 7", 0, 0, 0, 0},
        {"2147483648", INT32_MIN, 0, 0, 2147483648u},
        {"4294967296", 0, 0, 0, 0},
        {"4294967297", 1, 1, 1, 1},
        {"99999999999999999999999", -159383553, 65535, -1, 4135583743u},
    };
    CZToken t("|");
    for (const Case& c : cases) {
        std::string text = std::string("x|") + c.field + "|y";
        int32_t i = 99;
        uint16_t us = 99;
        int16_t s = 99;
        uint32_t ui = 99, ul = 99;
        int32_t l = 99;
        EXPECT_EQ(t.GetInt(&i, text.c_str(), 2), 1);
        EXPECT_EQ(t.GetUShort(&us, text.c_str(), 2), 1);
        EXPECT_EQ(t.GetShort(&s, text.c_str(), 2), 1);
        EXPECT_EQ(t.GetUInt(&ui, text.c_str(), 2), 1);
        EXPECT_EQ(t.GetLong(&l, text.c_str(), 2), 1);
        EXPECT_EQ(t.GetULong(&ul, text.c_str(), 2), 1);
        EXPECT_EQ(i, c.asInt) << c.field;
        EXPECT_EQ(us, c.asUShort) << c.field;
        EXPECT_EQ(s, c.asShort) << c.field;
        EXPECT_EQ(ui, c.asUInt) << c.field;
        EXPECT_EQ(l, c.asInt) << c.field;
        EXPECT_EQ(ul, c.asUInt) << c.field;
    }
    int32_t out = 5;
    EXPECT_EQ(t.GetInt(nullptr, "1", 1), 0);
    EXPECT_EQ(t.GetInt(&out, nullptr, 1), 0);
    EXPECT_EQ(out, 5);

    double d = 0;
    float f = 0;
    EXPECT_EQ(t.GetDouble(&d, "a| 2.5 |b", 2), 1);
    EXPECT_DOUBLE_EQ(d, 2.5);
    EXPECT_EQ(t.GetFloat(&f, "1e300", 1), 1);
    EXPECT_TRUE(std::isinf(f) && f > 0);
    EXPECT_EQ(t.GetFloat(&f, "-1e300", 1), 1);
    EXPECT_TRUE(std::isinf(f) && f < 0);
    EXPECT_EQ(t.GetFloat(&f, "x", 1), 1);
    EXPECT_EQ(f, 0.0f);
}

TEST(CZToken, SetFieldRewritesOneField)
{
    struct Case {
        const char* before;
        unsigned index;
        const char* value;
        const char* after;
    } cases[] = {
        {"", 3, "x", "||x"},
        {"a|b|c", 2, "x", "a|x|c"},
        {"a|b", 1, "x", "a|b|x"},
        {"a|b", 0, "x", "a|b|x"},
        {"a|b", 3, "x", "a|b|x"},
        {"a|b", 5, "x", "a|b|||x"},
        {"a|b|", 3, "x", "a|b|x"},
        {"", 1, "x", "x"},
    };
    CZToken t("|");
    for (const Case& c : cases) {
        char buffer[64];
        strcpy(buffer, c.before);
        EXPECT_EQ(t.SetField(c.value, buffer, sizeof buffer, c.index), 1) << c.before;
        EXPECT_STREQ(buffer, c.after) << c.before << " at " << c.index;
    }
    char buffer[8] = "a";
    EXPECT_EQ(t.SetField(nullptr, buffer, sizeof buffer, 2), 0);
    EXPECT_EQ(t.SetField("x", nullptr, 8, 2), 0);
}

TEST(CZToken, TypedSetters)
{
    CZToken t("|");
    auto run = [](auto setter) {
        char buffer[64] = "a|b|c";
        EXPECT_EQ(setter(buffer, sizeof buffer), 1);
        return std::string(buffer);
    };
    EXPECT_EQ(run([&](char* b, size_t n) { return t.SetInt(-5, b, n, 2); }), "a|-5|c");
    EXPECT_EQ(run([&](char* b, size_t n) { return t.SetChar('z', b, n, 2); }), "a|z|c");
    EXPECT_EQ(run([&](char* b, size_t n) { return t.SetShort(-32768, b, n, 2); }), "a|-32768|c");
    EXPECT_EQ(run([&](char* b, size_t n) { return t.SetUShort(65535, b, n, 2); }), "a|65535|c");
    EXPECT_EQ(run([&](char* b, size_t n) { return t.SetUInt(4000000000u, b, n, 2); }),
              "a|4000000000|c");
    EXPECT_EQ(run([&](char* b, size_t n) { return t.SetLong(-7, b, n, 3); }), "a|b|-7");
    EXPECT_EQ(run([&](char* b, size_t n) { return t.SetULong(4000000000u, b, n, 2); }),
              "a|4000000000|c");
    EXPECT_EQ(run([&](char* b, size_t n) { return t.SetFloat(1.5f, b, n, 2); }), "a|1.500000|c");
    EXPECT_EQ(run([&](char* b, size_t n) { return t.SetDouble(-0.25, b, n, 2); }), "a|-0.250000|c");
    EXPECT_EQ(t.SetInt(1, nullptr, 8, 1), 0);
}

TEST(CZToken, ASetterThatWouldNotFitChangesNothing)
{
    CZToken t("|");
    char buffer[7] = "a|b|c";
    EXPECT_EQ(t.SetField("xyz", buffer, sizeof buffer, 2), 0) << "a|xyz|c needs 8 bytes";
    EXPECT_STREQ(buffer, "a|b|c");
    EXPECT_EQ(t.SetField("xy", buffer, sizeof buffer, 2), 1);
    EXPECT_STREQ(buffer, "a|xy|c");
    EXPECT_EQ(t.SetInt(1, buffer, sizeof buffer, 4000000000u), 0);
    EXPECT_EQ(t.SetFieldText(buffer, sizeof buffer, 9, "|", "q"), nullptr);
    EXPECT_STREQ(buffer, "a|xy|c");
}

TEST(CZToken, DelimitersCanChangeAndAreBounded)
{
    CZToken t("|");
    const char* status = "STATUS=8;NAME=UPS1";
    char field[32];
    EXPECT_EQ(t.SetDelimiter(";"), 1);
    EXPECT_EQ(t.Count(status), 2);
    t.GetField(field, sizeof field, status, 2, true);
    EXPECT_STREQ(field, "NAME=UPS1");
    EXPECT_EQ(t.SetDelimiter("="), 1);
    uint16_t flags = 0;
    EXPECT_EQ(t.GetUShort(&flags, "STATUS=8", 2), 1);
    EXPECT_EQ(flags, 8);

    const std::string longest(79, '-'), tooLong(80, '-');
    EXPECT_EQ(t.SetDelimiter(longest.c_str()), 1);
    EXPECT_EQ(t.Count(("a" + longest + "b").c_str()), 2);
    EXPECT_EQ(t.SetDelimiter(tooLong.c_str()), 0);
    EXPECT_EQ(t.Count(("a" + longest + "b").c_str()), 2) << "the old delimiter stays";
    EXPECT_EQ(t.SetDelimiter(nullptr), 0);
    CZToken none(tooLong.c_str());
    EXPECT_EQ(none.Count("a|b"), 1);
}

TEST(CZToken, Trim)
{
    char text[] = " \t ab c \r\n";
    EXPECT_STREQ(CZToken::Trim(text), "ab c");
    char white[] = " \t\n";
    char* end = CZToken::Trim(white);
    EXPECT_EQ(*end, '\0');
    EXPECT_EQ(CZToken::Trim(nullptr), nullptr);
}

}  // namespace
