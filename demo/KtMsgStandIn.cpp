// The demo installation's "ktMsg.exe": shows the message it was started with in
// a window that says it is a stand-in for the message window program.
#include <windows.h>

#include <cstdlib>
#include <string>

int _dowildcard = 0;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    static const char* const labels[] = {"Message", "Sender", "Beep option", "Product"};
    std::string text;
    for (int i = 1; i < __argc; ++i) {
        text += i <= 4 ? labels[i - 1] : "Argument";
        text += ":  ";
        text += __argv[i];
        text += "\r\n";
    }
    if (text.empty()) text = "(started without a message)\r\n";
    text += "\r\nThis window stands in for the message window program ktMsg.exe,\r\n"
            "which is not part of this system.";
    MessageBoxA(nullptr, text.c_str(), "ktMsg.exe (demo stand-in)",
                MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST);
    return 0;
}
