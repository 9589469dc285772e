#include "LauncherCommandLine.h"

#include "PathUtil.h"

#include <windows.h>

bool OwnModuleFileName(std::string& name)
{
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    // A name that fills the buffer was cut and is left unterminated.
    if (length == 0 || length >= sizeof buffer) return false;
    name.assign(buffer, length);
    return true;
}

std::string LauncherApplicationPart(const std::string& moduleFileName)
{
    return "\"" + PathJoin(PathDirectory(moduleFileName), "ktMsg.exe") + "\"";
}

std::string LauncherParameterPart(int argc, char* argv[])
{
    std::string parameters;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) parameters += ' ';
        parameters += '"';
        parameters += argv[i];
        parameters += '"';
    }
    return parameters;
}

std::string LauncherCommandLine(const std::string& applicationPart, const std::string& parameterPart)
{
    return applicationPart + " " + parameterPart;
}
