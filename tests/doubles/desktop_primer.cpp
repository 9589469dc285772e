// Keeps Wine's desktop process for the whole test session. Wine ends that process
// about a second after the last program on the desktop leaves, and the next
// program that needs a window starts it again: the new desktop process inherits
// that program's standard error, and while other tests keep the desktop in use it
// holds the test's output open, so the test never ends. This program stays on the
// desktop with one hidden window until the session ends it.
//   desktop_primer READY_FILE     creates READY_FILE once the window exists
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    HWND w = CreateWindowExA(0, "STATIC", "desktop keeper", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!w) return 1;
    HANDLE ready = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(ready);
    // Messages sent to every top-level window must find an answer here.
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
