#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "classlib.h"
#include "demo_resource.h"

namespace {

std::string S(const CString& s) { return std::string(s.GetString(), s.GetLength()); }

struct StringCase {
    const char* name;
    std::function<CString()> make;
    const char* expected;
};

class CStringOps : public ::testing::TestWithParam<StringCase> {};

TEST_P(CStringOps, GivesExpectedText)
{
    EXPECT_EQ(GetParam().expected, S(GetParam().make()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CStringOps,
    ::testing::Values(
        StringCase{"NullIsEmpty", [] { return CString(static_cast<const char*>(nullptr)); }, ""},
        StringCase{"PointerWithLength", [] { return CString("abcdef", 3); }, "abc"},
        StringCase{"RepeatedChar", [] { return CString('x', 3); }, "xxx"},
        StringCase{"Concatenation", [] { return CString("ab") + "cd" + 'e' + CString("f"); }, "abcdef"},
        StringCase{"CharFirst", [] { return 'a' + CString("b"); }, "ab"},
        StringCase{"AppendInPlace", [] { CString s("a"); s += "b"; s += 'c'; s += CString("d"); return s; }, "abcd"},
        StringCase{"LeftClamped", [] { return CString("abc").Left(10); }, "abc"},
        StringCase{"LeftNegative", [] { return CString("abc").Left(-1); }, ""},
        StringCase{"RightPart", [] { return CString("abcdef").Right(2); }, "ef"},
        StringCase{"RightClamped", [] { return CString("abc").Right(5); }, "abc"},
        StringCase{"MidToEnd", [] { return CString("abcdef").Mid(2); }, "cdef"},
        StringCase{"MidCount", [] { return CString("abcdef").Mid(1, 3); }, "bcd"},
        StringCase{"MidBeyondEnd", [] { return CString("abc").Mid(5, 2); }, ""},
        StringCase{"MidNegativeStart", [] { return CString("abc").Mid(-2, 2); }, "ab"},
        StringCase{"UpperOnlyAsciiLetters", [] { CString s("a\xE4z1_"); return s.MakeUpper(); }, "A\xE4Z1_"},
        StringCase{"LowerOnlyAsciiLetters", [] { CString s("A\xC4Z"); return s.MakeLower(); }, "a\xC4z"},
        StringCase{"TrimAllWhiteSpace", [] { CString s(" \t\r\n\v\f x y \t\n"); return s.Trim(); }, "x y"},
        StringCase{"TrimLeftOnly", [] { CString s("  x  "); return s.TrimLeft(); }, "x  "},
        StringCase{"TrimRightOnly", [] { CString s("  x  "); return s.TrimRight(); }, "  x"},
        StringCase{"FormatPrintfRules", [] { CString s; s.Format("%d|%5s|%-3s|%05.1f|%lu|%x", -7, "ab", "c", 2.5, 4000000000UL, 255); return s; },
                   "-7|   ab|c  |002.5|4000000000|ff"},
        StringCase{"AssignChar", [] { CString s("abc"); s = 'z'; return s; }, "z"},
        StringCase{"SetAtInsideOnly", [] { CString s("abc"); s.SetAt(1, 'X'); s.SetAt(7, 'Y'); return s; }, "aXc"}),
    [](const ::testing::TestParamInfo<StringCase>& info) { return info.param.name; });

TEST(CStringTest, CountedStringKeepsEmbeddedZero)
{
    CString s("a\0b", 3);
    EXPECT_EQ(3, s.GetLength());
    EXPECT_EQ('b', s[2]);
    EXPECT_EQ('\0', s.GetAt(3));
    EXPECT_EQ('\0', s.GetAt(-1));
}

TEST(CStringTest, FindsCharactersAndTextsFromAPosition)
{
    const CString s("abcabc");
    EXPECT_EQ(1, s.Find('b'));
    EXPECT_EQ(4, s.Find('b', 2));
    EXPECT_EQ(-1, s.Find('z'));
    EXPECT_EQ(3, s.Find("abc", 1));
    EXPECT_EQ(-1, s.Find("abc", 4));
    EXPECT_EQ(2, s.Find("", 2));
    EXPECT_EQ(-1, s.Find("a", 10));
    EXPECT_EQ(0, s.Find("a", -3));
    EXPECT_EQ(4, s.ReverseFind('b'));
    EXPECT_EQ(-1, s.ReverseFind('z'));
}

TEST(CStringTest, ComparesByteWiseAndIgnoringAsciiCase)
{
    EXPECT_EQ(0, CString("abc").Compare("abc"));
    EXPECT_EQ(-1, CString("abc").Compare("abd"));
    EXPECT_EQ(1, CString("abcd").Compare("abc"));
    EXPECT_EQ(1, CString("\xE4").Compare("z"));  // bytes compare unsigned
    EXPECT_EQ(0, CString("HeLLo").CompareNoCase("hello"));
    EXPECT_EQ(-1, CString("abc").CompareNoCase("ABD"));
    EXPECT_EQ(-1, CString("ab").CompareNoCase("ABC"));
    EXPECT_NE(0, CString("\xE4").CompareNoCase("\xC4"));  // only A-Z fold
    EXPECT_TRUE(CString("a") == "a");
    EXPECT_TRUE("a" != CString("b"));
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_TRUE("b" > CString("a"));
    EXPECT_TRUE(CString("a") <= "a");
    EXPECT_TRUE(CString("b") >= "a");
}

TEST(CStringTest, FormatsLongTexts)
{
    CString s;
    s.Format("%s%s", std::string(3000, 'x').c_str(), "end");
    EXPECT_EQ(3003, s.GetLength());
    EXPECT_EQ("end", S(s.Right(3)));
}

TEST(CStringTest, BufferAccessTakesTheLengthFromTheTerminator)
{
    CString s("abc");
    char* buffer = s.GetBuffer(10);
    strcpy(buffer, "hello");
    s.ReleaseBuffer();
    EXPECT_EQ("hello", S(s));
    buffer = s.GetBuffer();
    buffer[2] = '\0';
    s.ReleaseBuffer(-1);
    EXPECT_EQ("he", S(s));
    s.GetBufferSetLength(4)[3] = 'x';
    s.ReleaseBuffer(4);
    EXPECT_EQ(4, s.GetLength());
}

TEST(CStringTest, LoadsStringTableEntriesOfAnyLength)
{
    CString s;
    EXPECT_TRUE(s.LoadString(IDS_GREETING));
    EXPECT_EQ("Hello from the string table", S(s));
    EXPECT_TRUE(s.LoadString(IDS_LONG));
    EXPECT_EQ(284, s.GetLength());
    EXPECT_EQ("-end", S(s.Right(4)));
    EXPECT_FALSE(s.LoadString(9999));
    EXPECT_TRUE(s.IsEmpty());
}

// Shift-JIS: 0x83 0x5C is one character whose trail byte is a backslash, and
// 0x82 0x61 one whose trail byte is the letter a.
class MultiByteTest : public ::testing::Test {
protected:
    void SetUp() override { classlib::SetMultiByteCodePage(932); }
    void TearDown() override { classlib::SetMultiByteCodePage(CP_ACP); }
};

TEST_F(MultiByteTest, NeverSplitsADoubleByteCharacter)
{
    const CString path("C:\\\x83\x5C");
    EXPECT_EQ(2, path.ReverseFind('\\'));
    EXPECT_EQ(-1, path.Find('\\', 3));
    EXPECT_EQ(-1, CString("\x83\x5C").Find("\\"));
    CString mixed("a\x82\x61z");
    EXPECT_EQ("A\x82\x61Z", S(mixed.MakeUpper()));
    EXPECT_EQ("a\x82\x61z", S(mixed.MakeLower()));
    EXPECT_NE(0, CString("\x82\x61").CompareNoCase("\x82\x41"));
    EXPECT_EQ(0, CString("x\x82\x61").CompareNoCase("X\x82\x61"));
    CString trailing("\x83\x5C  ");
    EXPECT_EQ("\x83\x5C", S(trailing.Trim()));
}

TEST(CStringArrayTest, AddsInsertsRemovesAndCopies)
{
    CStringArray a;
    EXPECT_EQ(0, a.Add("one"));
    EXPECT_EQ(1, a.Add(CString("three")));
    a.InsertAt(1, "two");
    a.InsertAt(10, "four");  // beyond the end appends
    a.InsertAt(0, "zero", 2);
    ASSERT_EQ(6, a.GetSize());
    EXPECT_EQ("zero", S(a[0]));
    EXPECT_EQ("zero", S(a[1]));
    EXPECT_EQ("two", S(a.GetAt(3)));
    EXPECT_EQ("four", S(a[5]));
    a.RemoveAt(0, 2);
    a.SetAt(0, "ONE");
    a[1] += "!";
    EXPECT_EQ("ONE", S(a[0]));
    EXPECT_EQ("two!", S(a[1]));
    a.RemoveAt(2, 100);  // clamped
    EXPECT_EQ(2, a.GetSize());
    a.RemoveAt(5);  // outside: nothing
    CStringArray b;
    b.Copy(a);
    a.RemoveAll();
    EXPECT_EQ(0, a.GetSize());
    ASSERT_EQ(2, b.GetSize());
    EXPECT_EQ("two!", S(b[1]));
}

TEST(CObjectTest, KnowsItsRunTimeClassAndBases)
{
    CDialog dialog;
    EXPECT_STREQ("CDialog", dialog.GetRuntimeClass().name);
    EXPECT_TRUE(dialog.IsKindOf(CWnd::StaticClass()));
    EXPECT_TRUE(dialog.IsKindOf(CObject::StaticClass()));
    CWnd window;
    EXPECT_FALSE(window.IsKindOf(CDialog::StaticClass()));
}

}  // namespace
