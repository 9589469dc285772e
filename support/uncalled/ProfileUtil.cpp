#include "ProfileUtil.h"

#include <io.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

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

int ReadIniSectionLines(CStringArray& keys, CStringArray& values, const char* section, const char* file)
{
    keys.RemoveAll();
    values.RemoveAll();
    IniKeyValueArrays arrays{&keys, &values};
    ScanIniFile(CollectKeyValue, &arrays, file, section);
    return keys.GetSize();
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
