// Reads the version resource of a module or a file and hands out its string
// values for the block's first translation.
#pragma once

#include <windows.h>

#include <string>

class CVersionInfo {
public:
    explicit CVersionInfo(HMODULE module = NULL);
    ~CVersionInfo();
    CVersionInfo(const CVersionInfo&) = delete;
    CVersionInfo& operator=(const CVersionInfo&) = delete;

    void Free();
    bool LoadFromModule(HMODULE module);
    bool LoadFromFile(const char* fileName);

    // translation: language in the high 16 bits, code page in the low; 0 for the loaded one.
    std::string GetStringValue(const char* name, DWORD translation = 0);
    std::string GetFileVersion();
    std::string GetLegalCopyright();
    std::string GetInternalName();
    std::string GetProductName();

    bool GetFixedInfo(VS_FIXEDFILEINFO* out);
    std::string GetFileVersionNumber();
    std::string GetProductVersionNumber();

private:
    unsigned char* block_;
    DWORD translation_;
    DWORD blockSize_;
};

std::string GetVersionBanner(bool withCopyright, HMODULE module);
