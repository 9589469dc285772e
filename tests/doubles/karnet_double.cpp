// Stand-ins of "KarNet.dll" for the binding's failure paths, built from this one
// file (a test copies one beside the program under the name "KarNet.dll"):
//   karnet_recorder      every call logged; NetConStatus gives the flags of
//                        KODRA_NETCON_FLAGS (default 1), NetConWriteData the result
//                        of KODRA_NETCON_WRITE_RESULT (default 1); NetConOpen
//                        fails while KODRA_NETCON_OPEN_RESULT is 0
//   karnet_no_open       as the recorder, without the NetConOpen export
//   karnet_status_fails  as the recorder, NetConStatus fails
//   karnet_no_data       as the recorder, NetConStatus says usable, never data
// The log is the file named by KODRA_NETCON_LOG, one line per call:
//   NetConInstall | NetConRemove | NetConOpen <address> | NetConClose <handle>
//   NetConWriteData <handle> <length> <bytes> | NetConReadData <handle>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "KarNet.h"

namespace {

std::string Env(const char* name)
{
    char value[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return (n > 0 && n < sizeof value) ? std::string(value, n) : std::string();
}

uint32_t EnvNumber(const char* name, uint32_t fallback)
{
    std::string text = Env(name);
    return text.empty() ? fallback : static_cast<uint32_t>(strtol(text.c_str(), nullptr, 10));
}

void Log(const std::string& line)
{
    std::string path = Env("KODRA_NETCON_LOG");
    if (path.empty()) return;
    std::string entry = line + "\r\n";
    HANDLE f = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
    CloseHandle(f);
}

}  // namespace

extern "C" {

NETCON_API int NETCON_CALL NetConInstall(void) NETCON_NOEXCEPT
{
    Log("NetConInstall");
    return 1;
}

NETCON_API int NETCON_CALL NetConRemove(void) NETCON_NOEXCEPT
{
    Log("NetConRemove");
    return 1;
}

#ifndef KARNET_DOUBLE_NO_OPEN
// Each open gives the next handle, so the log shows which one a close ends.
NETCON_API NetConHandle NETCON_CALL NetConOpen(const char* address) NETCON_NOEXCEPT
{
    static LONG lastHandle = 0;
    Log(std::string("NetConOpen ") + (address ? address : "(null)"));
    if (Env("KODRA_NETCON_OPEN_RESULT") == "0") return 0;
    return static_cast<NetConHandle>(InterlockedIncrement(&lastHandle));
}
#endif

NETCON_API int NETCON_CALL NetConClose(NetConHandle handle) NETCON_NOEXCEPT
{
    Log("NetConClose " + std::to_string(handle));
    return 1;
}

NETCON_API int NETCON_CALL NetConWriteData(NetConHandle handle, const void* data, uint32_t length,
                                           uint32_t* written) NETCON_NOEXCEPT
{
    std::string bytes = data ? std::string(static_cast<const char*>(data), length) : "(null)";
    Log("NetConWriteData " + std::to_string(handle) + " " + std::to_string(length) + " " + bytes);
    int result = static_cast<int>(EnvNumber("KODRA_NETCON_WRITE_RESULT", 1));
    if (written) *written = result == 1 ? length : 0;
    return result;
}

NETCON_API int NETCON_CALL NetConReadData(NetConHandle handle, void*, uint32_t,
                                          uint32_t* count) NETCON_NOEXCEPT
{
    Log("NetConReadData " + std::to_string(handle));
    if (count) *count = 0;
    return 1;
}

NETCON_API int NETCON_CALL NetConStatus(NetConHandle, uint32_t* flags, uint32_t) NETCON_NOEXCEPT
{
#if defined(KARNET_DOUBLE_STATUS_FAILS)
    if (flags) *flags = 0;
    return 0;
#elif defined(KARNET_DOUBLE_NO_DATA)
    if (flags) *flags = NETCON_USABLE;
    return flags ? 1 : 0;
#else
    if (flags) *flags = EnvNumber("KODRA_NETCON_FLAGS", NETCON_USABLE);
    return flags ? 1 : 0;
#endif
}

}  // extern "C"
