#include "MessagePort.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "RegLib.h"
#include "UniqueHandle.h"

bool ReadServiceMessagePort(const char* serviceName, const char* fallback, std::string& port)
{
    port = fallback;
    const std::string path =
        std::string("SYSTEM\\CurrentControlSet\\Services\\") + serviceName + "\\Parameters";
    UniqueRegKey key(RegLibOpenKeyAccess(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ));
    if (!key) return false;
    uint32_t value = 0;
    if (!RegLibGetDword(key.Get(), "MessagePort", &value)) return false;
    char text[12];  // "%d" of any 32-bit value with its terminator
    snprintf(text, sizeof text, "%d", static_cast<int>(value));
    port = text;
    return true;
}
