#include "ProcessStart.h"

#include <cstring>
#include <vector>

#include "UniqueHandle.h"

bool StartProcess(const char* program, const char* commandLine, int showMode, const char* folder,
                  bool wait, DWORD* error)
{
    // CreateProcessA may write into its command line, so it gets a copy of its own.
    const char* text = commandLine ? commandLine : "";
    std::vector<char> line(text, text + std::strlen(text) + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (showMode != kDefaultShowMode) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showMode);
    }
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder && folder[0] != '\0' ? folder : nullptr, &startup, &process)) {
        if (error) *error = GetLastError();
        return false;
    }
    UniqueKernelHandle thread(process.hThread);
    UniqueKernelHandle started(process.hProcess);
    if (wait) WaitForSingleObject(started.Get(), INFINITE);
    return true;
}
