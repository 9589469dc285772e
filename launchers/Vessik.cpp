// Vessik, installed as "msg.exe": starts the message window program "ktMsg.exe"
// from its own folder with the arguments it was given, and ends at once.
// Exit code 1 when the program was started, 0 otherwise; nothing is printed.
#include "LauncherCommandLine.h"

#include "ProcessStart.h"

#include <string>

// The arguments are handed on exactly as given, never expanded as file names.
int _dowildcard = 0;

int main(int argc, char* argv[])
{
    if (argc < 2) return 0;
    std::string moduleFileName;
    if (!OwnModuleFileName(moduleFileName)) return 0;
    const std::string commandLine =
        LauncherCommandLine(LauncherApplicationPart(moduleFileName), LauncherParameterPart(argc, argv));
    return StartProcess(nullptr, commandLine.c_str(), kDefaultShowMode, nullptr, false, nullptr) ? 1 : 0;
}
