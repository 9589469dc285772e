#include "RegValues.h"

#include <cstring>

namespace {
char g_valueBuffer[8192];
}

bool RegReadString(HKEY key, const char* name, CString& out)
{
    DWORD type = 0;
    DWORD size = sizeof g_valueBuffer;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(g_valueBuffer),
                         &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    // A value stored without its terminator still ends at its byte count, and one
    // stored with it must not carry the zero into the text.
    const void* zero = std::memchr(g_valueBuffer, '\0', size);
    int length = zero ? static_cast<int>(static_cast<const char*>(zero) - g_valueBuffer)
                      : static_cast<int>(size);
    out = CString(g_valueBuffer, length);
    return true;
}

bool RegReadDword(HKEY key, const char* name, DWORD& out)
{
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return false;
    if (type != REG_DWORD || size != sizeof value) return false;
    out = value;
    return true;
}

bool RegWriteString(HKEY key, const char* name, const char* text, DWORD type)
{
    if (!name || !text) return false;
    DWORD size = static_cast<DWORD>(std::strlen(text) + 1);
    return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text), size) ==
           ERROR_SUCCESS;
}

bool RegWriteDword(HKEY key, const char* name, DWORD number)
{
    if (!name) return false;
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                          sizeof number) == ERROR_SUCCESS;
}
