// Helpers on the class library's CString and CStringArray that no program
// calls: tokens and number lists, case-blind search and replace, line
// clean-ups, profile (INI) file readers and writers, and the creation of
// folder paths.
#pragma once

#include "IniUtil.h"

CString& TakeToken(CString& out, CString& text, const char* separator, BOOL trim);
int TakeTokenInt(CString& text, const char* separator);
DWORD TakeTokenUnsigned(CString& text, const char* separator);
BOOL IsNumberField(const CString& text, char stop, int start);
void ExpandList(const char* list, CStringArray& out);
int FindInArrayNoCase(const char* name, const CStringArray& array);
void ResolveConnections(const char* file, CStringArray& names, CStringArray& addresses,
                        CStringArray* entries, BOOL drop);

int FindNoCase(const CString& text, const CString& sub);
void ReplaceAllNoCase(CString& text, const char* find, const char* replacement);
int ReplaceChar(CString& text, char from, char to);
void DeleteChars(CString& text, int start, int count);
void FlattenLineBreaks(CString& text);
CString& CollapseBlanks(CString& text);
void JoinLines(const CStringArray& array, CString& out, BOOL flatten);
void SplitLines(const CString& text, CStringArray& out);
void FillComboBox(const CStringArray& array, CComboBox& combo, BOOL trim);

// Gets one trimmed, non-empty line of a section; returns non-zero to go on.
typedef int (*IniLineCallback)(const char* line, void* context);

// Contexts of the two line callbacks below.
struct IniKeyValueArrays {
    CStringArray* keys;
    CStringArray* values;
};
struct IniValueQuery {
    CString key;  // trimmed
    CString* result;
    int found;    // starts at 0
};

int ReadIniSection(CStringArray& keys, CStringArray& values, const char* section, const char* file);
int ReadIniSectionNames(CStringArray& names, const char* file);
// Without a section name (NULL or blank) every line of the file is passed on.
void ScanIniFile(IniLineCallback callback, void* context, const char* file, const char* section);
void ScanIniLine(const CString& line, const char* section, int& inSection, int& stop,
                 IniLineCallback callback, void* context);
int ReadIniSectionLines(CStringArray& keys, CStringArray& values, const char* section, const char* file);
int CollectKeyValue(const char* line, void* context);  // context: IniKeyValueArrays
int GetIniValue(CString& out, const char* section, const char* key, const char* file);
int MatchKeyValue(const char* line, void* context);  // context: IniValueQuery
void WriteLine(const char* text, CFile& file);
void WriteLines(const CStringArray& array, CFile& file);
void WriteIniSection(const char* section, const CStringArray& keys, const CStringArray& values,
                     CFile& file);

CString& JoinFolderAndName(CString& out, const char* folder, const char* name);
BOOL IsExistingDirectory(const char* path);
// Asks (in German, through the message-box seam) before creating the first
// missing folder when askFirst is set, and reports a failure when asked to.
BOOL CreateDirectoryPath(const char* root, const char* path, BOOL askFirst, BOOL reportFailure);
