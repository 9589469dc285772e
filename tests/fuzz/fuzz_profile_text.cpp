// The text helpers on the class library's strings: tokens, number lists,
// case-blind search and replace, line clean-ups, profile lines and absolute
// names, in a single-byte and a double-byte code page. The properties that a
// double-byte character may hide (a separator byte inside one) are checked in
// the single-byte code page only.
#include "FuzzInput.h"
#include "IniUtil.h"
#include "ProfileText.h"

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsTrimmed(const CString& s)
{
    return s.IsEmpty() || (!IsBlank(s[0]) && !IsBlank(s[s.GetLength() - 1]));
}

int CountOf(const CString& text, const char* sub)
{
    int count = 0;
    for (int at = text.Find(sub); at >= 0; at = text.Find(sub, at + 1)) ++count;
    return count;
}

void CheckToken(const CString& before, const std::string& separator, bool single)
{
    CString text = before;
    CString token;
    TakeToken(token, text, separator.c_str(), false);
    const int sepLength = static_cast<int>(separator.size());
    if (token.GetLength() == before.GetLength()) {
        Expect(token == before && text.IsEmpty(), "a text without the separator is one token");
        return;
    }
    Expect(token.GetLength() + sepLength + text.GetLength() == before.GetLength(),
           "token, separator and rest make up the text");
    Expect(before.Left(token.GetLength()) == token && before.Right(text.GetLength()) == text,
           "the token and the rest are the text's own ends");
    if (single)
        Expect(before.Mid(token.GetLength(), sepLength).CompareNoCase(separator.c_str()) == 0,
               "the separator is found, case aside");
    TakeTokenInt(text, separator.c_str());
    TakeTokenUnsigned(text, separator.c_str());
}

void CheckSearch(const CString& text, const CString& sub, const std::string& replacement, bool single)
{
    const int at = FindNoCase(text, sub);
    Expect(at == -1 || (at >= 0 && at <= text.GetLength() - sub.GetLength()), "a match lies inside the text");
    if (at >= 0 && single)
        Expect(text.Mid(at, sub.GetLength()).CompareNoCase(sub) == 0, "the match is the text sought");
    CString replaced = text;
    ReplaceAllNoCase(replaced, sub, replacement.c_str());
    if (at < 0 || sub.IsEmpty())
        Expect(replaced == text, "nothing found, nothing replaced");
    if (single && replacement == sub.GetString())
        Expect(replaced.CompareNoCase(text) == 0, "a text replaced by itself stays, case aside");
}

void CheckCleanUps(const CString& text, char from, char to, int start, int count, bool single)
{
    CString changed = text;
    Expect(ReplaceChar(changed, from, to) == text.GetLength(), "replacing a character keeps the length");
    if (single && from != to)
        Expect(changed.Find(from) < 0, "no replaced character is left");
    changed = text;
    DeleteChars(changed, start, count);
    Expect(changed.GetLength() <= text.GetLength(), "deleting never lengthens");
    changed = text;
    FlattenLineBreaks(changed);
    Expect(changed.GetLength() <= text.GetLength(), "flattening never lengthens");
    if (single)
        Expect(changed.Find('\r') < 0 && changed.Find('\n') < 0 && changed.Find('\t') < 0,
               "a flat text has no line breaks or tabs");
    changed = text;
    CollapseBlanks(changed);
    if (single)
        Expect(changed.Find("  ") < 0 && IsTrimmed(changed), "collapsed blanks are single and trimmed");
}

void CheckLines(const CString& text, bool flatten, bool single)
{
    CStringArray lines;
    SplitLines(text, lines);
    for (int i = 0; i < lines.GetSize() && single; ++i)
        Expect(IsTrimmed(lines[i]) && lines[i].Find("\r\n") < 0, "a line is trimmed and whole");
    CString joined;
    JoinLines(lines, joined, flatten);
    if (flatten && single)
        Expect(CountOf(joined, "\r\n") == (lines.GetSize() > 0 ? lines.GetSize() - 1 : 0),
               "flattened lines are joined by one line break each");
}

void CheckList(const CString& list, bool single)
{
    CStringArray items;
    ExpandList(list, items);
    for (int i = 0; i < items.GetSize(); ++i) {
        Expect(!items[i].IsEmpty(), "a list has no empty entry");
        if (single)
            Expect(IsTrimmed(items[i]), "list entries are trimmed");
    }
    if (items.GetSize() > 0)
        Expect(FindInArrayNoCase(items[0], items) == 0, "the first entry is found first");
}

void CheckProfile(const std::string& text, const std::string& section, const std::string& key, bool allSections)
{
    CStringArray keys;
    CStringArray values;
    IniKeyValueArrays arrays{&keys, &values};
    CString found;
    IniValueQuery query{CString(key.c_str()), &found, 0};
    query.key.Trim();
    int inSection = 0;
    int stop = 0;
    int inQuerySection = 0;
    int queryStop = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const CString line(text.data() + start, static_cast<int>(end - start));
        const char* wanted = allSections ? nullptr : section.c_str();
        if (!stop) ScanIniLine(line, wanted, inSection, stop, CollectKeyValue, &arrays);
        if (!queryStop) ScanIniLine(line, wanted, inQuerySection, queryStop, MatchKeyValue, &query);
        start = end + 1;
    }
    Expect(keys.GetSize() == values.GetSize(), "a key for every value");
    for (int i = 0; i < keys.GetSize(); ++i)
        Expect(!keys[i].IsEmpty() && keys[i][0] != ';' && !values[i].IsEmpty(),
               "a key is named, no comment, and has a value");
    Expect(query.found == 1 || found.IsEmpty(), "a value is given only when found");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const unsigned op = in.Byte();
    const bool single = !(op & 0x80);
    classlib::SetMultiByteCodePage(single ? 1252 : 932);
    const bool flag = in.Flag();
    const char c = static_cast<char>(in.Byte());
    const char d = static_cast<char>(in.Byte());
    const int n = static_cast<int>(in.Long());
    const int m = static_cast<int>(in.Long());
    const std::string a = in.Text();
    const std::string b = in.Text();
    const std::string rest = in.Rest();

    switch (op % 8) {
    case 0:
        CheckToken(a.c_str(), b, single);
        break;
    case 1:
        IsNumberField(a.c_str(), c, n);
        IsNumberField(a.c_str(), c, static_cast<int16_t>(m));
        break;
    case 2:
        CheckList(a.c_str(), single);
        break;
    case 3:
        CheckSearch(a.c_str(), b.c_str(), rest.c_str(), single);
        break;
    case 4:
        CheckCleanUps(a.c_str(), c, d, n, m, single);
        CheckCleanUps(a.c_str(), c, d, static_cast<int16_t>(n), static_cast<int16_t>(m), single);
        break;
    case 5:
        CheckLines(rest.c_str(), flag, single);
        break;
    case 6: {
        CheckProfile(rest, a, b, flag);
        CString joined;
        JoinFolderAndName(joined, a.c_str(), b.c_str());
        break;
    }
    case 7:
        if (single)
            Expect(IsAbsolutePath(CString(" \t") + a.c_str() + " ") == IsAbsolutePath(a.c_str()),
                   "blanks around a name leave it absolute or relative");
        IsAbsolutePath(rest.c_str());
        break;
    }
    return 0;
}
