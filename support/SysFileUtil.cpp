#include "SysFileUtil.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <vector>

#include "PathUtil.h"

namespace {

CLibraryHandle g_kernel32("kernel32.dll");
bool g_forceNotAdministrator = false;

typedef BOOL(WINAPI* GetDiskFreeSpaceExFn)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                           PULARGE_INTEGER);

void Store(uint64_t* out, uint64_t value)
{
    if (out) *out = value;
}

int32_t LastErrorResult() { return HResultFromWin32(static_cast<int32_t>(GetLastError())); }

}  // namespace

CLibraryHandle::CLibraryHandle(const std::string& name) : handle_(LoadLibraryA(name.c_str())) {}

CLibraryHandle::~CLibraryHandle() { FreeLibrary(handle_); }

CFileHandle::CFileHandle(const char* path, const char* mode)
    : stream_(std::fopen(path, mode)), handle_(INVALID_HANDLE_VALUE)
{
}

CFileHandle::~CFileHandle()
{
    if (stream_) std::fclose(stream_);
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

void ForceNotAdministratorForTests(bool on) { g_forceNotAdministrator = on; }

BOOL IsAdministrator()
{
    if (g_forceNotAdministrator) return FALSE;
    HANDLE token = nullptr;
    HANDLE impersonation = nullptr;
    PSID admins = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL acl = nullptr;
    BOOL result = FALSE;
    do {
        if (!OpenThreadToken(GetCurrentThread(), TOKEN_DUPLICATE | TOKEN_QUERY, TRUE, &token)) {
            token = nullptr;
            if (GetLastError() != ERROR_NO_TOKEN) break;
            if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &token)) {
                token = nullptr;
                break;
            }
        }
        if (!DuplicateToken(token, SecurityImpersonation, &impersonation)) {
            impersonation = nullptr;
            break;
        }
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
                                      0, 0, 0, 0, 0, 0, &admins)) {
            admins = nullptr;
            break;
        }
        descriptor = LocalAlloc(LPTR, SECURITY_DESCRIPTOR_MIN_LENGTH);
        if (!descriptor || !InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION))
            break;
        const DWORD aclSize = GetLengthSid(admins) + 16;
        acl = static_cast<PACL>(LocalAlloc(LPTR, aclSize));
        if (!acl || !InitializeAcl(acl, aclSize, ACL_REVISION2)) break;
        const DWORD accessRead = 1, accessWrite = 2;
        if (!AddAccessAllowedAce(acl, ACL_REVISION2, accessRead | accessWrite, admins)) break;
        if (!SetSecurityDescriptorDacl(descriptor, TRUE, acl, FALSE)) break;
        SetSecurityDescriptorGroup(descriptor, admins, FALSE);
        SetSecurityDescriptorOwner(descriptor, admins, FALSE);
        if (!IsValidSecurityDescriptor(descriptor)) break;
        GENERIC_MAPPING mapping = {accessRead, accessWrite, 0, accessRead | accessWrite};
        unsigned char privileges[20] = {};
        DWORD privilegesLength = sizeof privileges;
        DWORD granted = 0;
        BOOL status = FALSE;
        if (!AccessCheck(descriptor, impersonation, accessRead, &mapping,
                         reinterpret_cast<PPRIVILEGE_SET>(privileges), &privilegesLength, &granted,
                         &status))
            break;
        result = status;
    } while (false);
    if (acl) LocalFree(acl);
    if (descriptor) LocalFree(descriptor);
    if (admins) FreeSid(admins);
    if (impersonation) CloseHandle(impersonation);
    if (token) CloseHandle(token);
    return result;
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

std::string GetCurrentDir()
{
    char path[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(sizeof path, path);
    // A longer folder is reported by its needed size and not written.
    if (n == 0 || n >= sizeof path) return "";
    return std::string(path, n);
}

BOOL SetCurrentDir(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) ? TRUE : FALSE; }

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

bool DirectoryExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL FindOnSearchPath(const char* name, std::string& out)
{
    char path[MAX_PATH];
    char* filePart = nullptr;
    DWORD n = SearchPathA(nullptr, name, nullptr, sizeof path, path, &filePart);
    // A longer result is reported by its needed size and not written.
    if (n == 0 || n >= sizeof path) return FALSE;
    out.assign(path, n);
    return TRUE;
}

bool GetFileSize64(const std::string& path, uint64_t* out)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    SetLastError(NO_ERROR);
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    const bool failed = low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR;
    CloseHandle(file);
    if (failed) return false;
    Store(out, (static_cast<uint64_t>(high) << 32) | low);
    return true;
}

uint32_t GetFileSize32(const std::string& path)
{
    uint64_t size = 0;
    return GetFileSize64(path, &size) ? static_cast<uint32_t>(size) : 0;
}

std::string DiskSpaceRoot(const std::string& path)
{
    std::string root = PathRoot(path);
    if (root.compare(0, 2, "\\\\") == 0) root = SetTrailingSeparators(root, 1);
    return root;
}

int GetDiskSpaceEx(const std::string& root, uint64_t* available, uint64_t* total, uint64_t* free)
{
    GetDiskFreeSpaceExFn call = reinterpret_cast<GetDiskFreeSpaceExFn>(reinterpret_cast<void*>(
        GetProcAddress(g_kernel32.GetHandle(), "GetDiskFreeSpaceExA")));
    if (!call) return 0;
    ULARGE_INTEGER toCaller, totalBytes, freeBytes;
    if (!call(root.c_str(), &toCaller, &totalBytes, &freeBytes)) return -1;
    Store(available, toCaller.QuadPart);
    Store(total, totalBytes.QuadPart);
    Store(free, freeBytes.QuadPart);
    return 1;
}

bool GetDiskSpaceClusters(const std::string& root, uint64_t* available, uint64_t* total,
                          uint64_t* free)
{
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters))
        return false;
    const uint64_t bytesPerCluster = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
    Store(available, bytesPerCluster * freeClusters);
    Store(total, bytesPerCluster * totalClusters);
    Store(free, bytesPerCluster * freeClusters);
    return true;
}

bool GetDiskSpace(const std::string& path, uint64_t* available, uint64_t* total, uint64_t* free)
{
    const std::string root = DiskSpaceRoot(path);
    int answer = GetDiskSpaceEx(root, available, total, free);
    if (answer == 1) return true;
    if (answer == -1) return false;
    return GetDiskSpaceClusters(root, available, total, free);
}

int32_t MoveDirectoryTree(const std::string& source, const std::string& target, DWORD moveFlags)
{
    return MoveDirectoryTreeEx(source, target, moveFlags, false);
}

int32_t MoveDirectoryTreeEx(const std::string& source, const std::string& target, DWORD moveFlags,
                            bool keepSourceRoot)
{
    if (source.empty() || target.empty()) return static_cast<int32_t>(E_INVALIDARG);
    std::vector<std::string> removals;
    if (!keepSourceRoot) removals.push_back(source);
    std::deque<std::string> queue{""};
    int32_t result = 0;
    while (!queue.empty() && result >= 0) {
        const std::string rel = queue.front();
        queue.pop_front();
        CreateDirectoryA((target + rel).c_str(), nullptr);
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((source + rel + "\\*.*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) {
            result = LastErrorResult();
            break;
        }
        do {
            if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0)
                continue;
            const std::string name = rel + "\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                queue.push_back(name);
                removals.push_back(source + name);
            } else if (!MoveFileExA((source + name).c_str(), (target + name).c_str(), moveFlags)) {
                result = LastErrorResult();
                break;
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    if (result >= 0) {
        for (auto folder = removals.rbegin(); folder != removals.rend(); ++folder)
            if (!RemoveDirectoryA(folder->c_str())) {
                result = LastErrorResult();
                break;
            }
    }
    return result;
}

int32_t HResultFromWin32(int32_t code)
{
    if (code <= 0) return code;
    return static_cast<int32_t>(0x80070000u | (static_cast<uint32_t>(code) & 0xFFFFu));
}

int CutLineBreak(char* text)
{
    char* lf = std::strrchr(text, '\n');
    if (lf) *lf = '\0';
    char* cr = std::strrchr(text, '\r');
    if (cr) *cr = '\0';
    return static_cast<int>(std::strlen(text));
}

char* FormatSystemError(DWORD code, char* buffer, unsigned size)
{
    if (!buffer) return nullptr;
    if (size == 0) return buffer;
    buffer[0] = '\0';
    char* system = nullptr;
    // Without arguments the inserts (%1) of texts such as "%1 is not a valid Win32
    // application." must stay as they are, or the call reads arguments that do not exist.
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<char*>(&system), 0, nullptr);
    if (n != 0 && system) {
        CutLineBreak(system);
        std::snprintf(buffer, size, "%s", system);
    }
    if (system) LocalFree(system);
    return buffer;
}
