#include "WindowUtil.h"

#include <cstdlib>
#include <cstring>

#include "CharBufferUtil.h"

int SendToWindowClass(const char* className, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = FindWindowA(className, nullptr);
    if (!window) return 0;
    SendMessageA(window, message, wParam, lParam);
    return 1;
}

int WinioSendLine(const char* line)
{
    ATOM atom = GlobalAddAtomA(line);
    if (atom == 0) return 0;
    int sent = SendToWindowClass("winio_class", WM_USER + 1, 0, atom);
    GlobalDeleteAtom(atom);
    return sent;
}

int WinioSendText(const char* text)
{
    const int count = CountFieldsN(text, "\n");
    char stackBuffer[4096];
    char* field = stackBuffer;
    size_t size = sizeof stackBuffer;
    const size_t length = std::strlen(text);
    if (length + 1 > size) {
        field = static_cast<char*>(std::malloc(length + 1));
        if (!field) return 0;
        size = length + 1;
    }
    if (std::strcmp(text, "\n") == 0) {
        WinioSendLine(" ");
    } else {
        for (int n = 1; n <= count; ++n) {
            GetFieldN(field, static_cast<int>(size), text, "\n", n);
            WinioSendLine(field[0] == '\0' && n != count ? " " : field);
        }
    }
    if (field != stackBuffer) std::free(field);
    return 1;
}

int RunAndWaitForWindow(const char* commandLine, const char* className, int showCommand)
{
    HWND window = FindWindowA(className, nullptr);
    if (window) {
        if (showCommand != 0) {
            SetActiveWindow(window);
            ShowWindow(window, showCommand);
        }
        return 1;
    }
    if (WinExec(commandLine, showCommand != 0 ? showCommand : SW_SHOWDEFAULT) < 32) return 0;
    const DWORD start = GetTickCount();
    while (!FindWindowA(className, nullptr) && GetTickCount() - start < 5000) Sleep(200);
    return 1;
}
