// The test seams: every message box, modal dialog run, file dialog and
// program start of the library goes through one hook each, which a test
// replaces (see tests/classlib/testkit for ready-made recorders and drivers).
// An empty hook means the real thing. Each setter returns the previous hook.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <functional>

#include "CString.h"

class CDialog;

namespace classlib {

struct MessageBoxRequest {
    HWND owner;
    CString text;
    CString caption;
    UINT type;  // MB_ buttons and icon
};
// Returns the button pressed (IDOK, IDYES, ...).
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Called inside DoModal once the dialog is created, initialised and shown,
// before its message loop; the hook may drive the dialog (set texts, click
// buttons) or end it. The run goes on until the dialog is ended.
using ModalHook = std::function<void(CDialog&)>;
ModalHook SetModalHook(ModalHook hook);

// Stands in for the system's file dialog: returns true for OK after writing
// the chosen path into ofn.lpstrFile (at most ofn.nMaxFile bytes).
using FileDialogHook = std::function<bool(OPENFILENAMEA& ofn, bool open)>;
FileDialogHook SetFileDialogHook(FileDialogHook hook);

// Starts a command line (CreateProcessA without application name, no handle
// inheritance, the current environment and folder, the show mode in the
// start-up information), waits until it ends when asked, and returns whether
// it started; on failure *error (when given) = GetLastError().
bool StartProgram(const char* commandLine, WORD showMode, bool wait, DWORD* error);

struct ProgramStartRequest {
    CString commandLine;
    WORD showMode;
    bool wait;
};
// Returns whether the program "started"; on false it sets *error.
using ProgramStartHook = std::function<bool(const ProgramStartRequest&, DWORD* error)>;
ProgramStartHook SetProgramStartHook(ProgramStartHook hook);

}  // namespace classlib
