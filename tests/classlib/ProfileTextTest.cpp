// The text helpers on the class library's strings; built for Windows and
// natively, where a code page double stands in for the system's.
#include <gtest/gtest.h>

#include <climits>

#include "ProfileText.h"
#include "StringsOf.h"

namespace {

TEST(ProfileTextTokens, CutsTheFirstTokenIgnoringCase)
{
    struct Case {
        const char* text;
        const char* separator;
        bool trim;
        const char* token;
        const char* rest;
    } cases[] = {
        {"a = b", "=", true, "a", "b"},
        {"  a ,  b  ", ",", true, "a", "b"},
        {" a , b ", ",", false, " a ", " b "},
        {"aXbxc", "x", false, "a", "bxc"},
        {"axbXc", "X", false, "a", "bXc"},
        {"abc", ";", true, "abc", ""},
        {"a", "ab", false, "a", ""},
        {"abc", "", false, "", "abc"},
        {"", ",", false, "", ""},
        {"key=", "=", true, "key", ""},
    };
    for (const Case& c : cases) {
        CString text(c.text);
        CString token("stale");
        TakeToken(token, text, c.separator, c.trim);
        EXPECT_EQ(c.token, S(token)) << c.text << " / " << c.separator;
        EXPECT_EQ(c.rest, S(text)) << c.text << " / " << c.separator;
    }
}

TEST(ProfileTextTokens, TakesNumbersAndTestsNumberFields)
{
    CString text(" 12 , 4000000000 ,x");
    EXPECT_EQ(12, TakeTokenInt(text, ","));
    EXPECT_EQ(4000000000UL, TakeTokenUnsigned(text, ","));
    EXPECT_EQ(0, TakeTokenInt(text, ","));
    EXPECT_TRUE(text.IsEmpty());

    EXPECT_TRUE(IsNumberField("  123 ", ';', 0));
    EXPECT_TRUE(IsNumberField("x12;y", ';', 1));
    EXPECT_TRUE(IsNumberField(" 7 ; z", ';', 0));
    EXPECT_FALSE(IsNumberField(" ;12", ';', 0));
    EXPECT_FALSE(IsNumberField("12a", ';', 0));
    EXPECT_FALSE(IsNumberField("  ", ';', 0));
    EXPECT_FALSE(IsNumberField("-1", ';', 0));
}

TEST(ProfileTextLists, ExpandsNumberRanges)
{
    struct Case {
        const char* list;
        Strings expected;
    } cases[] = {
        {"1-3, #4-5, x", {"1", "2", "3", "4-5", "x"}},
        {"007-9", {"007", "008", "009"}},
        {"10.0.0.1-5", {"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5"}},
        {"pc08-10", {"pc08", "pc09", "pc10"}},
        {"host1-2.lan", {"host1.lan", "host2.lan"}},
        {"a-b, 5-2, #1-3, # , ,", {"a-b", "5-2", "1-3"}},
        {"  ", {}},
        // A range too large to hold is kept as written.
        {"1-4000000000", {"1-4000000000"}},
        {"1-1234567890123456789012", {"1-1234567890123456789012"}},
    };
    for (const Case& c : cases) {
        CStringArray out;
        out.Add("stale");
        ExpandList(c.list, out);
        EXPECT_EQ(c.expected, V(out)) << c.list;
    }
}

TEST(ProfileTextLists, ExpandsRangesOnlyWithinTheListLimit)
{
    CStringArray out;
    ExpandList("1-65536", out);
    ASSERT_EQ(65536, out.GetSize());
    EXPECT_EQ("65536", S(out[65535]));
    ExpandList("1-65537", out);
    EXPECT_EQ((Strings{"1-65537"}), V(out));
    ExpandList("x, 1-40000, 1-40000, y", out);
    ASSERT_EQ(40003, out.GetSize());
    EXPECT_EQ("40000", S(out[40000]));
    EXPECT_EQ("1-40000", S(out[40001]));
    EXPECT_EQ("y", S(out[40002]));
}

TEST(ProfileTextLists, FindsTrimmedNamesIgnoringCase)
{
    CStringArray a;
    a.Add(" Alpha ");
    a.Add("beta");
    EXPECT_EQ(0, FindInArrayNoCase("alpha", a));
    EXPECT_EQ(1, FindInArrayNoCase("  BETA", a));
    EXPECT_EQ(-1, FindInArrayNoCase("gamma", a));
}

TEST(ProfileTextEdits, SearchesAndReplacesIgnoringCase)
{
    EXPECT_EQ(2, FindNoCase("abCDe", "cd"));
    EXPECT_EQ(-1, FindNoCase("abc", "x"));
    EXPECT_EQ(0, FindNoCase("abc", ""));

    CString text("Xa-xA-b");
    ReplaceAllNoCase(text, "xa", "[xa]");
    EXPECT_EQ("[xa]-[xa]-b", S(text));
    text = "aaa";
    ReplaceAllNoCase(text, "aa", "a");
    EXPECT_EQ("aa", S(text));
    ReplaceAllNoCase(text, "", "x");  // an empty find text changes nothing
    EXPECT_EQ("aa", S(text));

    text = "a/b/c";
    EXPECT_EQ(5, ReplaceChar(text, '/', '\\'));
    EXPECT_EQ("a\\b\\c", S(text));
}

TEST(ProfileTextEdits, DeletesCharacters)
{
    struct Case {
        int start;
        int count;
        const char* expected;
    } cases[] = {{1, 2, "adef"}, {0, 1, "bcdef"}, {2, -1, "ab"}, {0, -1, ""}, {3, 0, "abcdef"}, {4, 10, "abcd"},
                   {2, -3, "abcdef"}, {-2, 3, "bcdef"}, {-2, -1, ""}, {7, -1, "abcdef"},
                   {2, INT_MAX, "ab"}, {INT_MIN, INT_MAX, "abcdef"}};
    for (const Case& c : cases) {
        CString text("abcdef");
        DeleteChars(text, c.start, c.count);
        EXPECT_EQ(c.expected, S(text)) << c.start << "," << c.count;
    }
}

TEST(ProfileTextEdits, FlattensAndCollapsesLineBreaks)
{
    CString text("a\r\nb\n\rc\rd\ne\tf\r\n\r");
    FlattenLineBreaks(text);
    EXPECT_EQ("a b c d e f  ", S(text));
    text = "  a \r\n\r\n  b\t\tc  ";
    EXPECT_EQ("a b c", S(CollapseBlanks(text)));
}

TEST(ProfileTextEdits, JoinsAndSplitsLines)
{
    CStringArray lines;
    lines.Add("a");
    lines.Add("b\r\nc");
    CString joined;
    JoinLines(lines, joined, false);
    EXPECT_EQ("a\r\nb\r\nc", S(joined));
    JoinLines(lines, joined, true);
    EXPECT_EQ("a\r\nb c", S(joined));

    CStringArray out;
    SplitLines("a\r\n\r\nb", out);
    EXPECT_EQ((Strings{"a", "", "b"}), V(out));
    SplitLines("a\r\n", out);
    EXPECT_EQ((Strings{"a"}), V(out));
    SplitLines("  x  \r\ny", out);
    EXPECT_EQ((Strings{"x", "y"}), V(out));
}

TEST(ProfileTextEdits, JoinsFoldersAndNames)
{
    struct Case {
        const char* folder;
        const char* name;
        const char* expected;
    } cases[] = {{"", "n", "n"},          {"  ", "n", "n"},          {"C:\\a", "n", "C:\\a\\n"},
                 {"C:\\a\\", "n", "C:\\a\\n"}, {"C:/a/", "n", "C:/a/n"}, {" C:\\a ", "n", " C:\\a \\n"}};
    for (const Case& c : cases) {
        CString out;
        EXPECT_EQ(c.expected, S(JoinFolderAndName(out, c.folder, c.name))) << c.folder;
    }
}

// In code page 932 a backslash byte can be the second half of a character:
// only a backslash of its own is replaced, and the search never starts
// inside a character.
TEST(ProfileTextEdits, LeavesDoubleByteCharactersWhole)
{
    const unsigned int before = classlib::MultiByteCodePage();
    classlib::SetMultiByteCodePage(932);
    CString text("\x81\x5C\\\x81\x5C");
    ReplaceChar(text, '\\', '/');
    EXPECT_EQ("\x81\x5C/\x81\x5C", S(text));
    EXPECT_EQ(2, FindNoCase("\x81\x5C\\", "\\"));
    classlib::SetMultiByteCodePage(before);
}

}  // namespace
