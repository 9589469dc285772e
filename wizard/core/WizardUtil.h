// The wizard's shared helpers: its two message boxes, files in its own folder,
// address checks and starting programs.
#pragma once

#include "classlib.h"

// The string-table entry, or the empty text when there is none.
CString LoadResString(UINT id);

// Message boxes owned by the application's main window, captioned with the
// product word unless a caption is given. A NULL text shows nothing.
void ShowInfoMessage(const char* text, const char* caption = nullptr);
bool AskYesNo(const char* text, const char* caption = nullptr);

// The name in the wizard's folder (a relative name) or the name itself (an
// absolute one).
CString ProgramFolderFile(const char* name);
// A relative name is looked up in the wizard's folder; folders count and
// wildcard characters match as patterns.
bool FileExistsInProgramDir(const char* name);
// The running program's file name cut before its last "\" or ":".
void GetExeFolder(CString& out);
// The text after the last "\", "/" or ":".
void GetFileNamePart(const char* path, CString& out);
// The filter holds pairs of description and pattern, each ended by a zero
// character, the list ended by a second one.
bool BrowseForFile(CString& out, const char* filter, const char* title, const char* startFile,
                   const char* startFolder);

bool CheckIPv4Address(const char* text, bool strict);
// An address that a batch file line can name as one plain word
// (IsBatchSafeAddress); any other is refused with a message naming it.
bool CheckBatchSafeAddress(const char* address);
// Whether the text reads as the same characters in the OEM code page, in which
// the command interpreter reads a batch file, as in the ANSI code page, in
// which the wizard writes it. Plain ASCII always does, and every text does
// where the two code pages are one.
bool IsBatchCodePageSafe(const char* text);
// The message that refuses a text IsBatchCodePageSafe does not pass, naming it.
void RefuseBatchCodePage(const char* text);
// IsBatchCodePageSafe; a text that is not is refused with RefuseBatchCodePage.
bool CheckBatchCodePage(const char* text);
// Dotted text of the name's first IPv4 address, valid until the next such call; NULL
// when it does not resolve.
const char* ResolveHostAddress(const char* name);

// Starts "program" (quoted unless it is already) followed by a blank and the
// arguments; with wait, returns once the process has ended. False when it did
// not start, its error code then in *error.
bool RunProgram(const char* program, const char* arguments, bool wait, int showMode,
                DWORD* error);
// Opens the file in "notepad.exe" and returns once notepad has ended.
void EditInNotepad(const char* path, int showMode);

int GetExeDriveAndDir(char* buffer, int size);
// "kodratray.exe" lies in the wizard's folder: only then may jobs start through
// the tray (CmdTray).
bool TrayProgramInstalled();
int GetExePath(char* buffer, int size);
int GetExeDirNoDrive(char* buffer, int size);
