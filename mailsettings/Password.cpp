#include "Password.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "MailerSettings.h"

const char* UnscramblePassword(const char* stored)
{
    static char clear[512];
    ScramblePassword(clear, stored, sizeof clear);
    return clear;
}

bool ReadsAsStored(HKEY key, const char* name, const char* narrow)
{
    const std::wstring wideName(name, name + std::strlen(name));
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    // One character more than the value holds, so the text is always terminated.
    std::vector<wchar_t> stored(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = size;
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(stored.data()),
                         &got) != ERROR_SUCCESS)
        return false;

    const int count = MultiByteToWideChar(CP_ACP, 0, narrow, -1, nullptr, 0);
    if (count <= 0) return false;
    std::vector<wchar_t> read(count);
    if (MultiByteToWideChar(CP_ACP, 0, narrow, -1, read.data(), count) != count) return false;
    return std::wcscmp(stored.data(), read.data()) == 0;
}
