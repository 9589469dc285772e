#include "RegLib.h"

#include <cstring>

namespace {

const char kVersion[] = "1.0.0.0";
const size_t kNameChars = 128;

struct ProfileState {
    char company[kNameChars];
    char application[kNameChars];
    HKEY root;
    char base[kNameChars];
};
ProfileState g_profile;

int Ok(LONG result) { return result == ERROR_SUCCESS ? 1 : 0; }

int SetValue(HKEY key, const char* name, DWORD type, const void* data, DWORD size)
{
    return Ok(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
}

int SetText(HKEY key, const char* name, DWORD type, const char* text)
{
    if (!text) return 0;
    return SetValue(key, name, type, text, static_cast<DWORD>(strlen(text) + 1));
}

// A text fits only with its terminator; a stored text without one gets it when
// there is room, so the caller always receives a terminated text.
int GetText(HKEY key, const char* name, DWORD wanted, char* buffer, uint32_t* size)
{
    if (!buffer || !size || *size == 0) return 0;
    DWORD capacity = *size;
    DWORD type = REG_NONE;
    DWORD length = capacity;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                   &length);
    *size = length;
    if (result != ERROR_SUCCESS || type != wanted) return 0;
    if (length > 0 && buffer[length - 1] == '\0') return 1;
    if (length >= capacity) return 0;
    buffer[length] = '\0';
    *size = length + 1;
    return 1;
}

void ClearProfile() { memset(&g_profile, 0, sizeof g_profile); }

bool CopyName(char* dest, const char* source)
{
    size_t n = strlen(source);
    if (n >= kNameChars) return false;
    memcpy(dest, source, n + 1);
    return true;
}

}  // namespace

int RegLibInit() { return 1; }

int RegLibCheckVersion(const char* version)
{
    return version && strcmp(version, kVersion) == 0 ? 1 : 0;
}

HKEY RegLibCreateKey(HKEY parent, const char* subkey, SECURITY_ATTRIBUTES* security)
{
    HKEY key = nullptr;
    char noClass[] = "";
    if (RegCreateKeyExA(parent, subkey, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        security, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY RegLibOpenKey(HKEY parent, const char* subkey)
{
    return RegLibOpenKeyAccess(parent, subkey, KEY_ALL_ACCESS);
}

HKEY RegLibOpenKeyAccess(HKEY parent, const char* subkey, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, subkey, 0, access, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

int RegLibCloseKey(HKEY key) { return Ok(RegCloseKey(key)); }
int RegLibFlushKey(HKEY key) { return Ok(RegFlushKey(key)); }
int RegLibDeleteKey(HKEY key, const char* subkey) { return Ok(RegDeleteKeyA(key, subkey)); }
int RegLibDeleteValue(HKEY key, const char* name) { return Ok(RegDeleteValueA(key, name)); }

int RegLibSetDword(HKEY key, const char* name, uint32_t value)
{
    DWORD v = value;
    return SetValue(key, name, REG_DWORD, &v, sizeof v);
}

int RegLibGetDword(HKEY key, const char* name, uint32_t* value)
{
    if (!value) return 0;
    DWORD type = REG_NONE;
    DWORD v = 0;
    DWORD size = sizeof v;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&v), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof v)
        return 0;
    *value = v;
    return 1;
}

int RegLibSetBinary(HKEY key, const char* name, const void* bytes, uint32_t count)
{
    if (!bytes && count > 0) return 0;
    return SetValue(key, name, REG_BINARY, bytes, count);
}

int RegLibGetBinary(HKEY key, const char* name, void* buffer, uint32_t bufferSize,
                    uint32_t* count)
{
    if (!count) return 0;
    DWORD type = REG_NONE;
    DWORD size = buffer ? bufferSize : 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, static_cast<BYTE*>(buffer), &size);
    *count = size;
    return result == ERROR_SUCCESS && type == REG_BINARY ? 1 : 0;
}

int RegLibSetString(HKEY key, const char* name, const char* text)
{
    return SetText(key, name, REG_SZ, text);
}

int RegLibGetString(HKEY key, const char* name, char* buffer, uint32_t* size)
{
    return GetText(key, name, REG_SZ, buffer, size);
}

int RegLibSetExpandString(HKEY key, const char* name, const char* text)
{
    return SetText(key, name, REG_EXPAND_SZ, text);
}

int RegLibGetExpandString(HKEY key, const char* name, char* buffer, uint32_t* size)
{
    return GetText(key, name, REG_EXPAND_SZ, buffer, size);
}

int RegLibQueryInfoKey(HKEY key, char* classBuffer, DWORD* classSize, DWORD* maxClassLength,
                       DWORD* subkeyCount, DWORD* maxSubkeyLength, DWORD* valueCount,
                       DWORD* maxValueNameLength, DWORD* maxValueLength,
                       DWORD* securityDescriptorSize, FILETIME* lastWriteTime)
{
    return Ok(RegQueryInfoKeyA(key, classBuffer, classSize, nullptr, subkeyCount, maxSubkeyLength,
                               maxClassLength, valueCount, maxValueNameLength, maxValueLength,
                               securityDescriptorSize, lastWriteTime));
}

int RegLibEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                    DWORD* dataSize)
{
    return Ok(RegEnumValueA(key, index, name, nameSize, nullptr, type, data, dataSize));
}

int RegLibProfileInit(int rootFlags, const char* company, const char* application)
{
    if (!application) return 0;
    ClearProfile();
    if ((company && strlen(company) >= kNameChars) || strlen(application) >= kNameChars) return 0;
    if (!RegLibProfileSetRoot(rootFlags)) return 0;
    CopyName(g_profile.company, company ? company : "");
    CopyName(g_profile.application, application);
    return 1;
}

int RegLibProfileSetRoot(int flags)
{
    if (flags & REGLIB_ROOT_LOCAL_MACHINE) {
        const char* base = (flags & REGLIB_BASE_SERVICES) ? "System\\CurrentControlSet\\Services"
                           : (flags & REGLIB_BASE_SOFTWARE) ? "Software"
                                                             : nullptr;
        if (!base) {
            g_profile.root = nullptr;
            g_profile.base[0] = '\0';
            return 0;
        }
        g_profile.root = HKEY_LOCAL_MACHINE;
        CopyName(g_profile.base, base);
        return 1;
    }
    if (!(flags & REGLIB_ROOT_CURRENT_USER)) return 0;
    g_profile.root = HKEY_CURRENT_USER;
    CopyName(g_profile.base, "Software");
    return 1;
}

HKEY RegLibProfileOpenAppKey()
{
    if (!g_profile.root) return nullptr;
    HKEY base = RegLibOpenKey(g_profile.root, g_profile.base);
    if (!base) return nullptr;
    HKEY parent = base;
    HKEY company = nullptr;
    if (g_profile.company[0]) {
        company = RegLibCreateKey(base, g_profile.company, nullptr);
        parent = company;
    }
    HKEY app = parent ? RegLibCreateKey(parent, g_profile.application, nullptr) : nullptr;
    if (company) RegLibCloseKey(company);
    RegLibCloseKey(base);
    return app;
}

HKEY RegLibProfileOpenSubKey(const char* subkey)
{
    HKEY app = RegLibProfileOpenAppKey();
    if (!app) return nullptr;
    HKEY key = RegLibCreateKey(app, subkey, nullptr);
    RegLibCloseKey(app);
    return key;
}

int RegLibProfileReadDword(const char* subkey, const char* name, uint32_t defaultValue,
                           uint32_t* value)
{
    if (!value) return 0;
    HKEY key = RegLibProfileOpenSubKey(subkey);
    int ok = key ? RegLibGetDword(key, name, value) : 0;
    if (key) RegLibCloseKey(key);
    if (!ok) *value = defaultValue;
    return ok;
}

int RegLibProfileWriteDword(const char* subkey, const char* name, uint32_t value)
{
    HKEY key = RegLibProfileOpenSubKey(subkey);
    if (!key) return 0;
    int ok = RegLibSetDword(key, name, value);
    RegLibCloseKey(key);
    return ok;
}

int RegLibProfileReadString(const char* subkey, const char* name, const char* defaultText,
                            char* buffer, uint32_t bufferSize)
{
    if (!buffer || bufferSize == 0) return 0;
    HKEY key = RegLibProfileOpenSubKey(subkey);
    uint32_t size = bufferSize;
    int ok = key ? RegLibGetString(key, name, buffer, &size) : 0;
    if (key) RegLibCloseKey(key);
    if (!ok) lstrcpynA(buffer, defaultText ? defaultText : "", static_cast<int>(bufferSize));
    return ok;
}

int RegLibProfileWriteString(const char* subkey, const char* name, const char* text)
{
    if (!name) {
        HKEY app = RegLibProfileOpenAppKey();
        if (!app) return 0;
        int ok = RegLibDeleteKey(app, subkey);
        RegLibCloseKey(app);
        return ok;
    }
    HKEY key = RegLibProfileOpenSubKey(subkey);
    if (!key) return 0;
    int ok = text ? RegLibSetString(key, name, text) : RegLibDeleteValue(key, name);
    RegLibCloseKey(key);
    return ok;
}

void RegLibProfileUninit()
{
    HKEY app = RegLibProfileOpenAppKey();
    if (app) RegLibCloseKey(app);
    ClearProfile();
}
