// Opens and closes one window so that Wine starts its desktop process before
// the tests: the desktop then stays for the run, and no GUI test pays its start.
#include <windows.h>

int main()
{
    HWND w = CreateWindowExA(0, "STATIC", "primer", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    if (!w) return 1;
    DestroyWindow(w);
    return 0;
}
