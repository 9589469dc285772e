// The demo installation's "Hablat.exe": shows the mail settings that the real
// mailer would install ("-install server sender [login password]").
#include <windows.h>

#include <cstring>
#include <string>

int _dowildcard = 0;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::string text;
    if (__argc >= 4 && std::strcmp(__argv[1], "-install") == 0) {
        text = "Would install these mail settings:\r\n\r\nSMTP server:  " + std::string(__argv[2]) +
               "\r\nSender:  " + __argv[3];
        if (__argc >= 6)
            text += "\r\nLogin:  " + std::string(__argv[4]) + "\r\nPassword:  (" +
                    std::to_string(std::strlen(__argv[5])) + " characters)";
        else
            text += "\r\nLogin:  none";
    } else {
        text = "Started with:  " + std::string(GetCommandLineA());
    }
    text += "\r\n\r\nThis window stands in for the mailer Hablat.exe, which is not part of this system;\r\n"
            "nothing was installed.";
    MessageBoxA(nullptr, text.c_str(), "Hablat.exe (demo stand-in)",
                MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    return 0;
}
