#include "Seams.h"

#include "Internal.h"
#include "ProcessStart.h"

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
    return ::StartProcess(nullptr, commandLine, showMode, nullptr, wait, error);
}

}  // namespace classlib
