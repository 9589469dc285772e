#include "ProfileUtil.h"

#include <io.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The expansion of one range stops short of this many entries: a range such
// as 1-4000000000 would otherwise exhaust the memory.
constexpr unsigned long long kMaxRangeEntries = 65536;
// More digits than this do not fit the value type.
constexpr int kMaxRangeDigits = 18;

unsigned long long DigitsValue(const CString& digits)
{
    unsigned long long value = 0;
    for (int i = 0; i < digits.GetLength(); ++i)
        value = value * 10 + static_cast<unsigned>(digits[i] - '0');
    return value;
}

// Reads a profile list (section or section names) into a buffer that grows
// while the system reports it full; NULL when an allocation fails.
template <class Read>
std::unique_ptr<char[]> ReadProfileList(Read read, DWORD& size, DWORD& got)
{
    size = 30000;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
    while (buffer) {
        got = read(buffer.get(), size);
        if (got != size - 2 || size > 0x40000000)
            return buffer;
        buffer.reset();
        size *= 2;
        buffer.reset(new (std::nothrow) char[size]);
    }
    return buffer;
}

}  // namespace

CString& TakeToken(CString& out, CString& text, const char* separator, BOOL trim)
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
    return atoi(TakeToken(token, text, separator, TRUE));
}

DWORD TakeTokenUnsigned(CString& text, const char* separator)
{
    CString token;
    return strtoul(TakeToken(token, text, separator, TRUE), NULL, 10);
}

BOOL IsNumberField(const CString& text, char stop, int start)
{
    CString field = text.Mid(start);
    field.Trim();
    int at = field.Find(stop);
    if (at == 0)
        return FALSE;
    if (at > 0) {
        field = field.Left(at);
        field.Trim();
    }
    if (field.IsEmpty())
        return FALSE;
    for (int i = 0; i < field.GetLength(); ++i) {
        if (!IsDigit(field[i]))
            return FALSE;
    }
    return TRUE;
}

void ExpandList(const char* list, CStringArray& out)
{
    out.RemoveAll();
    CString rest(list);
    rest.Trim();
    while (!rest.IsEmpty()) {
        CString item;
        TakeToken(item, rest, ",", TRUE);
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
        TakeToken(first, second, "-", TRUE);
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
        if (high < low || high - low >= kMaxRangeEntries) {
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

void ResolveConnections(const char* file, CStringArray& names, CStringArray& addresses,
                        CStringArray* entries, BOOL drop)
{
    addresses.RemoveAll();
    if (entries)
        entries->RemoveAll();
    CStringArray keys;
    CStringArray values;
    ReadIniSectionLines(keys, values, "Connections", file);
    for (int i = 0; i < names.GetSize();) {
        int key = FindInArrayNoCase(names[i], keys);
        if (key < 0) {
            if (drop) {
                names.RemoveAt(i);
                continue;
            }
            addresses.Add("");
            if (entries)
                entries->Add("");
            ++i;
            continue;
        }
        CString value = values[key];
        value.Trim();
        CString rest = value;
        CString field;
        TakeToken(field, rest, "|", TRUE);
        CString address;
        TakeToken(address, rest, "|", TRUE);
        address.Trim();
        if (drop && (address.IsEmpty() || FindInArrayNoCase(address, addresses) >= 0)) {
            names.RemoveAt(i);
            continue;
        }
        addresses.Add(address);
        if (entries)
            entries->Add(value);
        ++i;
    }
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
    if (count == 0)
        return;
    const int length = text.GetLength();
    if (count == -1)
        count = length - start;
    CString result;
    if (start > 0)
        result = text.Left(start);
    if (length - start - count > 0)
        result += text.Right(length - start - count);
    text = result;
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
    return TrimCString(text);
}

void JoinLines(const CStringArray& array, CString& out, BOOL flatten)
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
        TakeToken(line, rest, "\r\n", FALSE);
        out.Add(line.Trim());
    }
}

void FillComboBox(const CStringArray& array, CComboBox& combo, BOOL trim)
{
    combo.ResetContent();
    for (int i = 0; i < array.GetSize(); ++i) {
        CString element = array[i];
        if (trim)
            element.Trim();
        combo.AddString(element);
    }
}

int ReadIniSection(CStringArray& keys, CStringArray& values, const char* section, const char* file)
{
    keys.RemoveAll();
    values.RemoveAll();
    CString name(section);
    name.Trim();
    DWORD size = 0;
    DWORD got = 0;
    std::unique_ptr<char[]> buffer = ReadProfileList(
        [&](char* into, DWORD room) { return GetPrivateProfileSectionA(name, into, room, file); }, size, got);
    if (!buffer)
        return 0;
    for (DWORD at = 0; at < got && buffer[at];) {
        CString entry(&buffer[at]);
        at += static_cast<DWORD>(entry.GetLength()) + 1;
        CString key;
        TakeToken(key, entry, "=", TRUE);
        if (!key.IsEmpty() && !entry.IsEmpty() && key[0] != ';') {
            keys.Add(key);
            values.Add(entry);
        }
    }
    return keys.GetSize();
}

int ReadIniSectionNames(CStringArray& names, const char* file)
{
    names.RemoveAll();
    DWORD size = 0;
    DWORD got = 0;
    std::unique_ptr<char[]> buffer = ReadProfileList(
        [&](char* into, DWORD room) { return GetPrivateProfileSectionNamesA(into, room, file); }, size, got);
    if (!buffer)
        return 0;
    for (DWORD at = 0; at < got && buffer[at];) {
        CString name(&buffer[at]);
        at += static_cast<DWORD>(name.GetLength()) + 1;
        names.Add(name);
    }
    return names.GetSize();
}

void ScanIniFile(IniLineCallback callback, void* context, const char* file, const char* section)
{
    CString name(section);
    name.Trim();
    const char* wanted = name.IsEmpty() ? NULL : name.GetString();
    FILE* in = fopen(file, "rb");
    if (!in)
        return;
    constexpr size_t kBlock = 64000;
    std::unique_ptr<char[]> block(new (std::nothrow) char[kBlock]);
    if (!block) {
        fclose(in);
        return;
    }
    int inSection = 0;
    int stop = 0;
    CString line;
    for (;;) {
        size_t got = fread(block.get(), 1, kBlock, in);
        if (got == 0)
            break;
        size_t start = 0;
        for (size_t i = 0; i < got; ++i) {
            if (block[i] != '\r' && block[i] != '\n')
                continue;
            line += CString(&block[start], static_cast<int>(i - start));
            line.Trim();
            if (!line.IsEmpty()) {
                ScanIniLine(line, wanted, inSection, stop, callback, context);
                if (stop) {
                    fclose(in);
                    return;
                }
            }
            line.Empty();
            start = i + 1;
        }
        line += CString(&block[start], static_cast<int>(got - start));
        if (feof(in))
            break;
    }
    line.Trim();
    ScanIniLine(line, wanted, inSection, stop, callback, context);
    fclose(in);
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

int ReadIniSectionLines(CStringArray& keys, CStringArray& values, const char* section, const char* file)
{
    keys.RemoveAll();
    values.RemoveAll();
    IniKeyValueArrays arrays{&keys, &values};
    ScanIniFile(CollectKeyValue, &arrays, file, section);
    return keys.GetSize();
}

int CollectKeyValue(const char* line, void* context)
{
    IniKeyValueArrays* arrays = static_cast<IniKeyValueArrays*>(context);
    CString value(line);
    CString key;
    TakeToken(key, value, "=", TRUE);
    if (!key.IsEmpty() && !value.IsEmpty() && key[0] != ';') {
        arrays->keys->Add(key);
        arrays->values->Add(value);
    }
    return 1;
}

int GetIniValue(CString& out, const char* section, const char* key, const char* file)
{
    out.Empty();
    IniValueQuery query{CString(key), &out, 0};
    query.key.Trim();
    if (query.key.IsEmpty())
        return 0;
    ScanIniFile(MatchKeyValue, &query, file, section);
    return query.found;
}

int MatchKeyValue(const char* line, void* context)
{
    IniValueQuery* query = static_cast<IniValueQuery*>(context);
    CString value(line);
    CString key;
    TakeToken(key, value, "=", TRUE);
    if (key.CompareNoCase(query->key) != 0)
        return 1;
    *query->result = value;
    query->found = 1;
    return 0;
}

void WriteLine(const char* text, CFile& file)
{
    file.Write(text, static_cast<UINT>(strlen(text)));
    file.Write("\r\n", 2);
}

void WriteLines(const CStringArray& array, CFile& file)
{
    for (int i = 0; i < array.GetSize(); ++i)
        WriteLine(array[i], file);
}

void WriteIniSection(const char* section, const CStringArray& keys, const CStringArray& values,
                     CFile& file)
{
    CStringArray lines;
    lines.Add("");
    CString line;
    line.Format("[%s]", section);
    lines.Add(line);
    for (int i = 0; i < keys.GetSize(); ++i) {
        // A missing value is written empty rather than read beyond the array.
        line.Format("%s=%s", keys[i].GetString(), i < values.GetSize() ? values[i].GetString() : "");
        lines.Add(line);
    }
    WriteLines(lines, file);
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

BOOL IsExistingDirectory(const char* path)
{
    struct _stat info;
    return _access(path, 0) == 0 && _stat(path, &info) == 0 && (info.st_mode & 0xF000) == 0x4000;
}

BOOL CreateDirectoryPath(const char* root, const char* path, BOOL askFirst, BOOL reportFailure)
{
    CString base(root);
    base.Trim();
    CString rest(path);
    ReplaceChar(base, '/', '\\');
    ReplaceChar(rest, '/', '\\');
    if (base.IsEmpty() && rest.Left(2) == "\\\\") {
        rest = rest.Mid(2);
        CString server;
        TakeToken(server, rest, "\\", TRUE);
        base = "\\\\" + server;
    } else if (base.IsEmpty() && rest.GetAt(1) == ':') {
        base = rest.Left(2);
        rest = rest.Mid(2);
        if (rest.GetAt(0) == '\\') {
            base += '\\';
            rest = rest.Mid(1);
        }
    }
    CString full;
    JoinFolderAndName(full, base, rest);
    CString current = base;
    rest.Trim();
    while (!rest.IsEmpty()) {
        CString component;
        TakeToken(component, rest, "\\", TRUE);
        // A doubled or leading separator names no folder of its own.
        if (component.IsEmpty())
            continue;
        CString next;
        current = JoinFolderAndName(next, current, component);
        if (IsExistingDirectory(current))
            continue;
        if (askFirst) {
            CString question;
            question.Format("Das Verzeichnis\r\n%s\r\nexistiert nicht!", full.GetString());
            question += "\r\n\r\n";
            question += "Soll es angelegt werden?";
            if (classlib::ShowMessageBox(NULL, question, "Verzeichnis anlegen", MB_YESNO) != IDYES)
                return FALSE;
            askFirst = FALSE;
        }
        if (!CreateDirectoryA(current, NULL)) {
            if (reportFailure) {
                CString failure;
                failure.Format("Das Verzeichnis\r\n%s\r\nkonnte nicht angelegt werden!", full.GetString());
                classlib::ShowMessageBox(NULL, failure, "Fehler", MB_OK);
            }
            return FALSE;
        }
    }
    return TRUE;
}
