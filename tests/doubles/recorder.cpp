// Stands in for any outside program the system starts. It appends what it was
// given, its command line also as its C runtime split it into arguments, to
// the log named by KODRA_RECORD_LOG and ends with the exit code in
// KODRA_RECORD_EXIT (0 when unset), so a test sees exactly how it was started.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int _dowildcard = 0;

int main(int argc, char** argv)
{
    char log[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("KODRA_RECORD_LOG", log, sizeof log);
    if (n > 0 && n < sizeof log) {
        char exe[MAX_PATH] = "";
        DWORD e = GetModuleFileNameA(nullptr, exe, sizeof exe);
        if (e == 0 || e >= sizeof exe) exe[0] = '\0';
        char cwd[MAX_PATH] = "";
        DWORD c = GetCurrentDirectoryA(sizeof cwd, cwd);
        if (c == 0 || c >= sizeof cwd) cwd[0] = '\0';
        STARTUPINFOA si;
        GetStartupInfoA(&si);
        int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;

        std::string entry = std::string("exe=") + exe + "\r\ncmd=" + GetCommandLineA() +
                            "\r\ncwd=" + cwd + "\r\nshow=" + std::to_string(show) + "\r\n";
        for (int i = 1; i < argc; ++i) entry += std::string("arg=") + argv[i] + "\r\n";
        entry += "end\r\n";
        // Several recorders may run at once: open, append in one write, close.
        for (int attempt = 0; attempt < 200; ++attempt) {
            HANDLE f = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            if (f != INVALID_HANDLE_VALUE) {
                DWORD written = 0;
                WriteFile(f, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
                CloseHandle(f);
                break;
            }
            if (GetLastError() != ERROR_SHARING_VIOLATION) break;
            Sleep(5);
        }
    }
    char code[16];
    DWORD k = GetEnvironmentVariableA("KODRA_RECORD_EXIT", code, sizeof code);
    return (k > 0 && k < sizeof code) ? std::atoi(code) : 0;
}
