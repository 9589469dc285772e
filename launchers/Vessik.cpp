// Vessik, installed as "msg.exe": starts the message window program "ktMsg.exe"
// from its own folder with the arguments it was given, and ends at once.
// Exit code 1 when the program was started, 0 otherwise; nothing is printed.
#include "LauncherCommandLine.h"

#include <windows.h>

#include <string>
#include <vector>

// The arguments are handed on exactly as given, never expanded as file names.
int _dowildcard = 0;

namespace {

int StartProcess(const std::string& applicationPart, const std::string& parameterPart, const char* workDir)
{
    std::string text = LauncherCommandLine(applicationPart, parameterPart);
    // CreateProcessA may write into its command line, so it gets a copy of its own.
    std::vector<char> commandLine(text.begin(), text.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workDir && workDir[0] != '\0' ? workDir : nullptr, &startup, &process))
        return 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) return 0;
    std::string moduleFileName;
    if (!OwnModuleFileName(moduleFileName)) return 0;
    return StartProcess(LauncherApplicationPart(moduleFileName), LauncherParameterPart(argc, argv), nullptr);
}
