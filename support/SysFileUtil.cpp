#include "SysFileUtil.h"

#include <cstdio>

#include "PathUtil.h"
#include "UniqueHandle.h"

namespace {

bool g_forceNotAdministrator = false;

}  // namespace

void ForceNotAdministratorForTests(bool on) { g_forceNotAdministrator = on; }

BOOL IsAdministrator()
{
    if (g_forceNotAdministrator) return FALSE;
    // Declared in the reverse of the order in which they are released.
    UniqueKernelHandle token;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_DUPLICATE | TOKEN_QUERY, TRUE, token.Put())) {
        token.Release();
        if (GetLastError() != ERROR_NO_TOKEN) return FALSE;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, token.Put())) {
            token.Release();
            return FALSE;
        }
    }
    UniqueKernelHandle impersonation;
    if (!DuplicateToken(token.Get(), SecurityImpersonation, impersonation.Put())) {
        impersonation.Release();
        return FALSE;
    }
    UniqueSid admins;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                  0, 0, 0, 0, 0, admins.Put())) {
        admins.Release();
        return FALSE;
    }
    UniqueLocalMemory descriptorMemory(LocalAlloc(LPTR, SECURITY_DESCRIPTOR_MIN_LENGTH));
    PSECURITY_DESCRIPTOR descriptor = descriptorMemory.Get();
    if (!descriptor || !InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION))
        return FALSE;
    const DWORD aclSize = GetLengthSid(admins.Get()) + 16;
    UniqueLocalMemory aclMemory(LocalAlloc(LPTR, aclSize));
    PACL acl = static_cast<PACL>(aclMemory.Get());
    if (!acl || !InitializeAcl(acl, aclSize, ACL_REVISION2)) return FALSE;
    const DWORD accessRead = 1, accessWrite = 2;
    if (!AddAccessAllowedAce(acl, ACL_REVISION2, accessRead | accessWrite, admins.Get()))
        return FALSE;
    if (!SetSecurityDescriptorDacl(descriptor, TRUE, acl, FALSE)) return FALSE;
    SetSecurityDescriptorGroup(descriptor, admins.Get(), FALSE);
    SetSecurityDescriptorOwner(descriptor, admins.Get(), FALSE);
    if (!IsValidSecurityDescriptor(descriptor)) return FALSE;
    GENERIC_MAPPING mapping = {accessRead, accessWrite, 0, accessRead | accessWrite};
    unsigned char privileges[20] = {};
    DWORD privilegesLength = sizeof privileges;
    DWORD granted = 0;
    BOOL status = FALSE;
    if (!AccessCheck(descriptor, impersonation.Get(), accessRead, &mapping,
                     reinterpret_cast<PPRIVILEGE_SET>(privileges), &privilegesLength, &granted,
                     &status))
        return FALSE;
    return status;
}

std::string GetModuleFilePath(HMODULE module)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, path, sizeof path);
    // A name that filled the buffer came back cut and unterminated.
    if (n == 0 || n >= sizeof path) return "";
    return std::string(path, n);
}

std::string GetModuleDirectory(HMODULE module)
{
    std::string path = GetModuleFilePath(module);
    return path.empty() ? "" : PathDirectory(path);
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadTextFile(const std::string& path, std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return false;
    text.clear();
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

int32_t HResultFromWin32(int32_t code)
{
    if (code <= 0) return code;
    return static_cast<int32_t>(0x80070000u | (static_cast<uint32_t>(code) & 0xFFFFu));
}
