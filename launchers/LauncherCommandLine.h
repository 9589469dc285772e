// The command line that both launchers build for the message window program:
// its quoted path in the launcher's own folder, then every argument in double
// quotes, one blank apart, nothing escaped.
#pragma once

#include <string>

// The running program's file name; false when it is not available, also when
// it would not fit the 260-character buffer.
bool OwnModuleFileName(std::string& name);

// The quoted path of "ktMsg.exe" in the folder of the given module file name.
std::string LauncherApplicationPart(const std::string& moduleFileName);

// Arguments 1 .. argc - 1, each in double quotes, one blank apart.
std::string LauncherParameterPart(int argc, char* argv[]);

std::string LauncherCommandLine(const std::string& applicationPart, const std::string& parameterPart);
