// Text helpers on the class library's CString and CStringArray that no program
// calls: tokens and number lists, case-blind search and replace, line
// clean-ups and the reading of one line of a profile (INI) file. They include
// no Windows header, so the fuzz build runs them natively.
#pragma once

#include "CString.h"

CString& TakeToken(CString& out, CString& text, const char* separator, bool trim);
int TakeTokenInt(CString& text, const char* separator);
unsigned long TakeTokenUnsigned(CString& text, const char* separator);
bool IsNumberField(const CString& text, char stop, int start);
// "a, b3-5x, #1-2" gives a, b3x, b4x, b5x and 1-2: a range keeps the width of
// its low number; one that would take the list beyond 65536 entries stays as
// written.
void ExpandList(const char* list, CStringArray& out);
int FindInArrayNoCase(const char* name, const CStringArray& array);

int FindNoCase(const CString& text, const CString& sub);
void ReplaceAllNoCase(CString& text, const char* find, const char* replacement);
int ReplaceChar(CString& text, char from, char to);
// Deletes the characters from start on that lie in the text: count of them,
// or all with a count of -1; any other negative count deletes none.
void DeleteChars(CString& text, int start, int count);
void FlattenLineBreaks(CString& text);
CString& CollapseBlanks(CString& text);
void JoinLines(const CStringArray& array, CString& out, bool flatten);
void SplitLines(const CString& text, CStringArray& out);
CString& JoinFolderAndName(CString& out, const char* folder, const char* name);

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

// Passes a line of the named section (of every section when section is NULL)
// to the callback; inSection carries the state from line to line, and stop
// is set when the section ended or the callback asked to stop.
void ScanIniLine(const CString& line, const char* section, int& inSection, int& stop,
                 IniLineCallback callback, void* context);
int CollectKeyValue(const char* line, void* context);  // context: IniKeyValueArrays
int MatchKeyValue(const char* line, void* context);  // context: IniValueQuery
