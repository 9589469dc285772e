#include "VersionInfo.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

CVersionInfo::CVersionInfo(HMODULE module) : block_(nullptr), translation_(0), blockSize_(0)
{
    if (module) LoadFromModule(module);
}

CVersionInfo::~CVersionInfo() { Free(); }

void CVersionInfo::Free()
{
    std::free(block_);
    block_ = nullptr;
    translation_ = 0;
    blockSize_ = 0;
}

bool CVersionInfo::LoadFromModule(HMODULE module)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, path, sizeof path);
    // A name that filled the buffer came back cut and unterminated.
    if (n == 0 || n >= sizeof path) return false;
    return LoadFromFile(path);
}

bool CVersionInfo::LoadFromFile(const char* fileName)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(fileName, &handle);
    if (size == 0) return false;
    // A second load replaces the block held so far instead of leaking it.
    Free();
    block_ = static_cast<unsigned char*>(std::calloc(1, size));
    if (!block_) return false;
    blockSize_ = size;
    if (!GetFileVersionInfoA(fileName, handle, size, block_)) {
        Free();
        return false;
    }
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block_, "\\VarFileInfo\\Translation", &value, &length) || !value ||
        length < sizeof(DWORD)) {
        Free();
        return false;
    }
    DWORD first;
    std::memcpy(&first, value, sizeof first);
    translation_ = (first << 16) | (first >> 16);
    return true;
}

std::string CVersionInfo::GetStringValue(const char* name, DWORD translation)
{
    if (!block_ && !LoadFromModule(NULL)) return "";
    if (translation == 0) translation = translation_;
    char subBlock[256];
    int n = std::snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%08lx\\%s",
                          static_cast<unsigned long>(translation), name);
    if (n < 0 || n >= static_cast<int>(sizeof subBlock)) return "";
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block_, subBlock, &value, &length) || !value) return "";
    // The value's text is taken only up to the end of the block, terminated or not.
    const char* text = static_cast<const char*>(value);
    const char* end = reinterpret_cast<const char*>(block_) + blockSize_;
    if (text < reinterpret_cast<const char*>(block_) || text >= end) return "";
    size_t limit = static_cast<size_t>(end - text);
    if (length < limit) limit = length;
    return std::string(text, strnlen(text, limit));
}

std::string CVersionInfo::GetFileVersion() { return GetStringValue("FileVersion"); }
std::string CVersionInfo::GetLegalCopyright() { return GetStringValue("LegalCopyright"); }
std::string CVersionInfo::GetInternalName() { return GetStringValue("InternalName"); }
std::string CVersionInfo::GetProductName() { return GetStringValue("ProductName"); }

bool CVersionInfo::GetFixedInfo(VS_FIXEDFILEINFO* out)
{
    if (!block_ && !LoadFromModule(NULL)) return false;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block_, "\\", &value, &length) || !value ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    std::memcpy(out, value, sizeof(VS_FIXEDFILEINFO));
    return true;
}

namespace {

std::string VersionNumber(DWORD ms, DWORD ls)
{
    char text[48];
    std::snprintf(text, sizeof text, "%u,%u,%u,%u", static_cast<unsigned>(HIWORD(ms)),
                  static_cast<unsigned>(LOWORD(ms)), static_cast<unsigned>(HIWORD(ls)),
                  static_cast<unsigned>(LOWORD(ls)));
    return text;
}

}  // namespace

std::string CVersionInfo::GetFileVersionNumber()
{
    VS_FIXEDFILEINFO info;
    if (!GetFixedInfo(&info)) return "";
    return VersionNumber(info.dwFileVersionMS, info.dwFileVersionLS);
}

std::string CVersionInfo::GetProductVersionNumber()
{
    VS_FIXEDFILEINFO info;
    if (!GetFixedInfo(&info)) return "";
    return VersionNumber(info.dwProductVersionMS, info.dwProductVersionLS);
}

std::string GetVersionBanner(bool withCopyright, HMODULE module)
{
    const size_t limit = 4095;
    CVersionInfo info;
    if (!info.LoadFromModule(module)) return "";
    std::string banner = info.GetProductName() + " - " + info.GetInternalName() + " V" +
                         info.GetFileVersion();
    if (banner.size() > limit) banner.resize(limit);
    if (withCopyright) {
        banner += "\n(c) " + info.GetLegalCopyright() + ". All rights reserved\n";
        if (banner.size() > limit) banner.resize(limit);
    }
    return banner;
}
