// Plenrik takes the call form of "msg.exe" but sends the ktMsg.exe command line
// as one record to the tray on the local message port, which starts it on the
// user's desktop. Exit code: 0 without arguments, without a connection or for a
// command line too long for one record, else the transport's write result.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ForwardLauncher.h"
#include "LauncherCommandLine.h"
#include "NetConDll.h"

// The arguments are handed on exactly as given, never expanded as file names.
int _dowildcard = 0;

int main(int argc, char* argv[])
{
    if (argc < 2) return 0;
    std::string moduleFileName;
    if (!OwnModuleFileName(moduleFileName)) return 0;
    std::string applicationPart = LauncherApplicationPart(moduleFileName);
    std::string parameterPart = LauncherParameterPart(argc, argv);
    std::string tag = GetProductTag(argv[argc - 1]);
    std::string port = GetMessagePort(tag);
    std::string record;
    if (!BuildMessageRecord(tag, LauncherCommandLine(applicationPart, parameterPart), record)) return 0;

    CNetConDll transport("KarNet.dll", NetConForm::Launcher);
    char address[128];
    snprintf(address, sizeof address, "tcp-127.0.0.1:%s", port.c_str());
    if (!transport.Open(address)) return 0;
    int result = transport.WriteData(record.data(), static_cast<uint32_t>(record.size()), nullptr);
    transport.Close();
    return result;
}
