#include "MailerSettings.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The text through the system's code page to wide characters and back, the
// road of the narrow registry calls and of the edits; false when it changes.
bool SurvivesCodePage(const char* text)
{
    const int wideCount = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (wideCount <= 0) return false;
    std::vector<wchar_t> wide(wideCount);
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), wideCount) != wideCount) return false;
    const int narrowCount = WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    if (narrowCount <= 0) return false;
    std::vector<char> back(narrowCount);
    if (WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, back.data(), narrowCount, nullptr, nullptr) !=
        narrowCount)
        return false;
    return std::strcmp(back.data(), text) == 0;
}

// Whether narrow is the text stored: a value written under another code page
// holds characters this one cannot carry, and the narrow read gives others.
bool WideTextIsNarrowRead(HKEY key, const char* narrow)
{
    const std::wstring name(kMailerPasswordValue, kMailerPasswordValue + std::strlen(kMailerPasswordValue));
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    // One character more than the value holds, so the text is always terminated.
    std::vector<wchar_t> stored(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = size;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(stored.data()), &got) !=
        ERROR_SUCCESS)
        return false;

    const int count = MultiByteToWideChar(CP_ACP, 0, narrow, -1, nullptr, 0);
    if (count <= 0) return false;
    std::vector<wchar_t> read(count);
    if (MultiByteToWideChar(CP_ACP, 0, narrow, -1, read.data(), count) != count) return false;
    return std::wcscmp(stored.data(), read.data()) == 0;
}

}  // namespace

PasswordStorage HowPasswordIsStored(const char* password)
{
    if (ScramblesToZero(password)) return PasswordStorage::Cut;
    std::vector<char> scrambled(std::strlen(password) + 1);
    ScramblePassword(scrambled.data(), password, scrambled.size());
    return SurvivesCodePage(scrambled.data()) ? PasswordStorage::Whole : PasswordStorage::Changed;
}

bool StoredPasswordReadsWhole(HKEY key, const char* stored)
{
    if (!WideTextIsNarrowRead(key, stored)) return false;
    // A narrow write under a double-byte code page already turned each byte
    // pair it could not carry into the code page's default character, which
    // reads back the same both ways: only the clear text tells.
    std::vector<char> clear(std::strlen(stored) + 1);
    ScramblePassword(clear.data(), stored, clear.size());
    return !HoldsControlCharacter(clear.data()) && SurvivesCodePage(clear.data());
}
