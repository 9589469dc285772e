// Plain functions over the registry: 1 (or a key) on success, 0 (or a null key)
// on any failure. Typed reads succeed only for the expected type and size; the
// caller's buffer is to be used only after a result of 1.
#pragma once

#include <windows.h>

#include <cstdint>

int RegLibInit();
int RegLibCheckVersion(const char* version);  // "1.0.0.0"

HKEY RegLibCreateKey(HKEY parent, const char* subkey, SECURITY_ATTRIBUTES* security);
HKEY RegLibOpenKey(HKEY parent, const char* subkey);
HKEY RegLibOpenKeyAccess(HKEY parent, const char* subkey, REGSAM access);
int RegLibCloseKey(HKEY key);
int RegLibFlushKey(HKEY key);
int RegLibDeleteKey(HKEY key, const char* subkey);
int RegLibDeleteValue(HKEY key, const char* name);

int RegLibSetDword(HKEY key, const char* name, uint32_t value);
int RegLibGetDword(HKEY key, const char* name, uint32_t* value);
int RegLibSetBinary(HKEY key, const char* name, const void* bytes, uint32_t count);
// *count becomes the stored length.
int RegLibGetBinary(HKEY key, const char* name, void* buffer, uint32_t bufferSize,
                    uint32_t* count);
int RegLibSetString(HKEY key, const char* name, const char* text);
// *size: the buffer's byte count in, the stored length with its terminator out.
// Succeeds only when the text fits with its terminator; the text is then terminated.
int RegLibGetString(HKEY key, const char* name, char* buffer, uint32_t* size);
int RegLibSetExpandString(HKEY key, const char* name, const char* text);
int RegLibGetExpandString(HKEY key, const char* name, char* buffer, uint32_t* size);

int RegLibQueryInfoKey(HKEY key, char* classBuffer, DWORD* classSize, DWORD* maxClassLength,
                       DWORD* subkeyCount, DWORD* maxSubkeyLength, DWORD* valueCount,
                       DWORD* maxValueNameLength, DWORD* maxValueLength,
                       DWORD* securityDescriptorSize, FILETIME* lastWriteTime);
int RegLibEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type,
                    BYTE* data, DWORD* dataSize);

// One application key under a chosen root, for one thread of the process.
enum {
    REGLIB_ROOT_CURRENT_USER = 0x01,
    REGLIB_ROOT_LOCAL_MACHINE = 0x02,
    REGLIB_BASE_SERVICES = 0x10,  // with LOCAL_MACHINE: "System\CurrentControlSet\Services"
    REGLIB_BASE_SOFTWARE = 0x20,  // with LOCAL_MACHINE: "Software"
};
int RegLibProfileInit(int rootFlags, const char* company, const char* application);
int RegLibProfileSetRoot(int flags);
HKEY RegLibProfileOpenAppKey();
HKEY RegLibProfileOpenSubKey(const char* subkey);
int RegLibProfileReadDword(const char* subkey, const char* name, uint32_t defaultValue,
                           uint32_t* value);
int RegLibProfileWriteDword(const char* subkey, const char* name, uint32_t value);
int RegLibProfileReadString(const char* subkey, const char* name, const char* defaultText,
                            char* buffer, uint32_t bufferSize);
// A null name deletes the subkey; a null text deletes the value.
int RegLibProfileWriteString(const char* subkey, const char* name, const char* text);
void RegLibProfileUninit();
