#include "ForwardLauncher.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "RegLib.h"
#include "StringUtil.h"

namespace {

bool ReadMessagePort(const char* key, const char* fallback, std::string& port)
{
    port = fallback;
    HKEY handle = RegLibOpenKeyAccess(HKEY_LOCAL_MACHINE, key, KEY_READ);
    if (!handle) return false;
    uint32_t value = 0;
    bool read = RegLibGetDword(handle, "MessagePort", &value) != 0;
    if (read) {
        char text[12];
        snprintf(text, sizeof text, "%d", static_cast<int>(value));
        port = text;
    }
    RegLibCloseKey(handle);
    return read;
}

}  // namespace

std::string GetProductTag(const std::string& lastArgument)
{
    return StrTrim(lastArgument) == "KODRA" ? "KODRA" : "VELMOR";
}

std::string GetMessagePort(const std::string& tag)
{
    std::string port;
    if (tag == "KODRA") GetKodraMessagePort(port);
    else GetVelmorMessagePort(port);
    return port;
}

bool GetKodraMessagePort(std::string& port)
{
    return ReadMessagePort("SYSTEM\\CurrentControlSet\\Services\\KODRA\\Parameters", "961", port);
}

bool GetVelmorMessagePort(std::string& port)
{
    return ReadMessagePort("SYSTEM\\CurrentControlSet\\Services\\Velmor\\Parameters", "960", port);
}

bool BuildMessageRecord(const std::string& tag, const std::string& commandLine, std::string& record)
{
    std::string text = tag + "|" + std::to_string(commandLine.size()) + "|" + commandLine + "|";
    if (text.size() > kMaxRecordLength) {
        record.clear();
        return false;
    }
    record = text;
    return true;
}
