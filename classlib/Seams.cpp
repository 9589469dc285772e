#include "Seams.h"

#include "Internal.h"

#include <utility>

namespace classlib {
namespace {
MessageBoxHook g_messageBoxHook;
ModalHook g_modalHook;
FileDialogHook g_fileDialogHook;
ProgramStartHook g_programStartHook;
}  // namespace

ModalHook SetModalHook(ModalHook hook) { return std::exchange(g_modalHook, std::move(hook)); }

FileDialogHook SetFileDialogHook(FileDialogHook hook)
{
    return std::exchange(g_fileDialogHook, std::move(hook));
}

ModalHook detail::CurrentModalHook() { return g_modalHook; }
FileDialogHook detail::CurrentFileDialogHook() { return g_fileDialogHook; }

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) { return std::exchange(g_messageBoxHook, std::move(hook)); }

ProgramStartHook SetProgramStartHook(ProgramStartHook hook)
{
    return std::exchange(g_programStartHook, std::move(hook));
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    if (g_messageBoxHook) {
        MessageBoxHook hook = g_messageBoxHook;  // the hook may replace itself
        return hook(MessageBoxRequest{owner, text, caption, type});
    }
    return ::MessageBoxA(owner, text ? text : "", caption, type);
}

bool StartProgram(const char* commandLine, WORD showMode, bool wait, DWORD* error)
{
    if (g_programStartHook) {
        ProgramStartHook hook = g_programStartHook;
        return hook(ProgramStartRequest{commandLine, showMode, wait}, error);
    }
    // CreateProcessA may write into the command line.
    CString line(commandLine);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showMode;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(NULL, line.GetBuffer(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        if (error)
            *error = GetLastError();
        return false;
    }
    if (wait)
        WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace classlib
