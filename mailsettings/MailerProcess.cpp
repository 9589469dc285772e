#include "MailerProcess.h"

#include <windows.h>

#include <vector>

#include "ProcessStart.h"

namespace {

const char kMailerProgram[] = "Hablat.exe";

bool IsFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The command interpreter's search: the current directory first, then the
// folders of PATH; not the starting program's own folder.
bool FindMailer(char* path, DWORD size)
{
    DWORD n = GetFullPathNameA(kMailerProgram, size, path, nullptr);
    if (n > 0 && n < size && IsFile(path)) return true;

    DWORD needed = GetEnvironmentVariableA("PATH", nullptr, 0);
    if (needed == 0) return false;
    std::vector<char> searchPath(needed);
    DWORD got = GetEnvironmentVariableA("PATH", searchPath.data(), needed);
    if (got == 0 || got >= needed) return false;
    n = SearchPathA(searchPath.data(), kMailerProgram, nullptr, size, path, nullptr);
    return n > 0 && n < size && IsFile(path);
}

}  // namespace

bool RunMailer(const char* commandLine)
{
    char program[MAX_PATH];
    if (!FindMailer(program, sizeof program)) return false;

    return StartProcess(program, commandLine, kDefaultShowMode, nullptr, true, nullptr);
}
