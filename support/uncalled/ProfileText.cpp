#include "ProfileText.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A range is expanded only while the list stays within this many entries: a
// range such as 1-4000000000, or many large ones, would otherwise exhaust the
// memory.
constexpr unsigned long long kMaxListEntries = 65536;
// More digits than this do not fit the value type.
constexpr int kMaxRangeDigits = 18;

unsigned long long DigitsValue(const CString& digits)
{
    unsigned long long value = 0;
    for (int i = 0; i < digits.GetLength(); ++i)
        value = value * 10 + static_cast<unsigned>(digits[i] - '0');
    return value;
}

}  // namespace

CString& TakeToken(CString& out, CString& text, const char* separator, bool trim)
{
    if (trim)
        text.Trim();
    const CString sep(separator);
    if (text.IsEmpty()) {
        out.Empty();
        return out;
    }
    CString upperText = text;
    upperText.MakeUpper();
    CString upperSep = sep;
    upperSep.MakeUpper();
    int found = text.GetLength() < sep.GetLength() ? -1 : upperText.Find(upperSep);
    if (found < 0) {
        out = text;
        text.Empty();
        return out;
    }
    CString token = text.Left(found);
    text = text.Right(text.GetLength() - found - sep.GetLength());
    if (trim) {
        token.Trim();
        text.TrimLeft();
    }
    out = token;
    return out;
}

int TakeTokenInt(CString& text, const char* separator)
{
    CString token;
    return atoi(TakeToken(token, text, separator, true));
}

unsigned long TakeTokenUnsigned(CString& text, const char* separator)
{
    CString token;
    return strtoul(TakeToken(token, text, separator, true), NULL, 10);
}

bool IsNumberField(const CString& text, char stop, int start)
{
    CString field = text.Mid(start);
    field.Trim();
    int at = field.Find(stop);
    if (at == 0)
        return false;
    if (at > 0) {
        field = field.Left(at);
        field.Trim();
    }
    if (field.IsEmpty())
        return false;
    for (int i = 0; i < field.GetLength(); ++i) {
        if (!IsDigit(field[i]))
            return false;
    }
    return true;
}

void ExpandList(const char* list, CStringArray& out)
{
    out.RemoveAll();
    CString rest(list);
    rest.Trim();
    while (!rest.IsEmpty()) {
        CString item;
        TakeToken(item, rest, ",", true);
        item.Trim();
        if (item.IsEmpty())
            continue;
        if (item[0] == '#') {
            CString literal = item.Mid(1);
            literal.Trim();
            if (!literal.IsEmpty())
                out.Add(literal);
            continue;
        }
        if (item.Find('-') < 0) {
            out.Add(item);
            continue;
        }
        CString second = item;
        CString first;
        TakeToken(first, second, "-", true);
        int lowStart = first.GetLength();
        while (lowStart > 0 && IsDigit(first[lowStart - 1]))
            --lowStart;
        CString lowDigits = first.Mid(lowStart);
        CString prefix = first.Left(lowStart);
        prefix.Trim();
        int highEnd = 0;
        while (highEnd < second.GetLength() && IsDigit(second[highEnd]))
            ++highEnd;
        CString highDigits = second.Left(highEnd);
        CString suffix = second.Mid(highEnd);
        suffix.Trim();
        if (lowDigits.IsEmpty() || highDigits.IsEmpty() || lowDigits.GetLength() > kMaxRangeDigits ||
            highDigits.GetLength() > kMaxRangeDigits) {
            out.Add(item);
            continue;
        }
        unsigned long long low = DigitsValue(lowDigits);
        unsigned long long high = DigitsValue(highDigits);
        if (high < low || static_cast<unsigned long long>(out.GetSize()) + (high - low) >= kMaxListEntries) {
            out.Add(item);
            continue;
        }
        for (unsigned long long value = low; value <= high; ++value) {
            CString number;
            number.Format("%0*llu", lowDigits.GetLength(), value);
            out.Add(prefix + number + suffix);
        }
    }
}

int FindInArrayNoCase(const char* name, const CStringArray& array)
{
    CString wanted(name);
    wanted.Trim();
    for (int i = 0; i < array.GetSize(); ++i) {
        CString element = array[i];
        if (element.Trim().CompareNoCase(wanted) == 0)
            return i;
    }
    return -1;
}

int FindNoCase(const CString& text, const CString& sub)
{
    if (sub.IsEmpty())
        return 0;
    CString upperText = text;
    CString upperSub = sub;
    return upperText.MakeUpper().Find(upperSub.MakeUpper());
}

void ReplaceAllNoCase(CString& text, const char* find, const char* replacement)
{
    const CString wanted(find);
    // An empty find text would match at every position for ever.
    if (wanted.IsEmpty())
        return;
    CString result;
    CString rest = text;
    for (;;) {
        int at = FindNoCase(rest, wanted);
        if (at < 0)
            break;
        result += rest.Left(at);
        result += replacement;
        rest = rest.Mid(at + wanted.GetLength());
    }
    result += rest;
    text = result;
}

int ReplaceChar(CString& text, char from, char to)
{
    for (int i = 0; i < text.GetLength(); ++i) {
        if (classlib::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.GetLength())
            ++i;
        else if (text[i] == from)
            text.SetAt(i, to);
    }
    return text.GetLength();
}

void DeleteChars(CString& text, int start, int count)
{
    // In wide arithmetic: start + count must not overflow for any arguments.
    const long long length = text.GetLength();
    const long long end = count == -1 ? length : static_cast<long long>(start) + count;
    const long long from = std::clamp<long long>(start, 0, length);
    const long long to = std::clamp<long long>(end, from, length);
    if (to > from)
        text = text.Left(static_cast<int>(from)) + text.Mid(static_cast<int>(to));
}

void FlattenLineBreaks(CString& text)
{
    for (const char* pair : {"\r\n", "\n\r"}) {
        for (int at = text.Find(pair); at >= 0; at = text.Find(pair))
            text = text.Left(at) + " " + text.Mid(at + 2);
    }
    ReplaceChar(text, '\r', ' ');
    ReplaceChar(text, '\n', ' ');
    ReplaceChar(text, '\t', ' ');
}

CString& CollapseBlanks(CString& text)
{
    FlattenLineBreaks(text);
    CString result;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == ' ' && i > 0 && text[i - 1] == ' ')
            continue;
        result += text[i];
    }
    text = result;
    return text.Trim();
}

void JoinLines(const CStringArray& array, CString& out, bool flatten)
{
    out.Empty();
    for (int i = 0; i < array.GetSize(); ++i) {
        CString element = array[i];
        if (flatten)
            FlattenLineBreaks(element);
        if (i > 0)
            out += "\r\n";
        out += element;
    }
}

void SplitLines(const CString& text, CStringArray& out)
{
    out.RemoveAll();
    CString rest = text;
    while (!rest.IsEmpty()) {
        CString line;
        TakeToken(line, rest, "\r\n", false);
        out.Add(line.Trim());
    }
}

void ScanIniLine(const CString& line, const char* section, int& inSection, int& stop,
                 IniLineCallback callback, void* context)
{
    stop = 0;
    CString text = line;
    text.Trim();
    if (text.IsEmpty())
        return;
    if (!section) {
        if (!callback(text, context))
            stop = 1;
        return;
    }
    if (!inSection) {
        const int length = text.GetLength();
        if (text[0] == '[' && text[length - 1] == ']' && length > 2) {
            CString name = text.Mid(1, length - 2);
            if (name.Trim().CompareNoCase(section) == 0)
                inSection = 1;
        }
        return;
    }
    if (text[0] == '[') {
        stop = 1;
        return;
    }
    if (!callback(text, context))
        stop = 1;
}

int CollectKeyValue(const char* line, void* context)
{
    IniKeyValueArrays* arrays = static_cast<IniKeyValueArrays*>(context);
    CString value(line);
    CString key;
    TakeToken(key, value, "=", true);
    if (!key.IsEmpty() && !value.IsEmpty() && key[0] != ';') {
        arrays->keys->Add(key);
        arrays->values->Add(value);
    }
    return 1;
}

int MatchKeyValue(const char* line, void* context)
{
    IniValueQuery* query = static_cast<IniValueQuery*>(context);
    CString value(line);
    CString key;
    TakeToken(key, value, "=", true);
    if (key.CompareNoCase(query->key) != 0)
        return 1;
    *query->result = value;
    query->found = 1;
    return 0;
}

CString& JoinFolderAndName(CString& out, const char* folder, const char* name)
{
    CString trimmed(folder);
    trimmed.Trim();
    if (trimmed.IsEmpty()) {
        out = name;
        return out;
    }
    const int last = trimmed.GetLength() - 1;
    const bool endsWithSeparator = trimmed.ReverseFind('\\') == last || trimmed.ReverseFind('/') == last;
    out = CString(folder) + (endsWithSeparator ? "" : "\\") + name;
    return out;
}
