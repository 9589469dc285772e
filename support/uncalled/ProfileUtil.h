// Helpers on the class library's strings that no program calls and that need
// the system: profile (INI) file readers and writers, the connection list, a
// combo box filled from an array, and the creation of folder paths. Their
// text rules are in ProfileText.h.
#pragma once

#include "IniUtil.h"
#include "ProfileText.h"
#include "classlib.h"

void ResolveConnections(const char* file, CStringArray& names, CStringArray& addresses,
                        CStringArray* entries, BOOL drop);
void FillComboBox(const CStringArray& array, CComboBox& combo, BOOL trim);

int ReadIniSection(CStringArray& keys, CStringArray& values, const char* section, const char* file);
int ReadIniSectionNames(CStringArray& names, const char* file);
// Without a section name (NULL or blank) every line of the file is passed on.
void ScanIniFile(IniLineCallback callback, void* context, const char* file, const char* section);
int ReadIniSectionLines(CStringArray& keys, CStringArray& values, const char* section, const char* file);
int GetIniValue(CString& out, const char* section, const char* key, const char* file);
void WriteLine(const char* text, CFile& file);
void WriteLines(const CStringArray& array, CFile& file);
void WriteIniSection(const char* section, const CStringArray& keys, const CStringArray& values,
                     CFile& file);

BOOL IsExistingDirectory(const char* path);
// Asks (in German, through the message-box seam) before creating the first
// missing folder when askFirst is set, and reports a failure when asked to.
BOOL CreateDirectoryPath(const char* root, const char* path, BOOL askFirst, BOOL reportFailure);
