#include "FileSystemUtil.h"

#include <cstring>
#include <deque>
#include <vector>

#include "PathUtil.h"
#include "UniqueHandle.h"

namespace {

CLibraryHandle g_kernel32("kernel32.dll");

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
    : stream_(std::fopen(path, mode))
{
}

CFileHandle::~CFileHandle()
{
    if (stream_) std::fclose(stream_);
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
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    SetLastError(NO_ERROR);
    DWORD high = 0;
    DWORD low = GetFileSize(file.Get(), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
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
        UniqueFindHandle find(FindFirstFileA((source + rel + "\\*.*").c_str(), &found));
        if (!find) {
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
        } while (FindNextFileA(find.Get(), &found));
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
    UniqueLocalMemory system;
    // Without arguments the inserts (%1) of texts such as "%1 is not a valid Win32
    // application." must stay as they are, or the call reads arguments that do not exist.
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<char*>(system.Put()), 0, nullptr);
    if (n != 0 && system) {
        char* text = static_cast<char*>(system.Get());
        CutLineBreak(text);
        std::snprintf(buffer, size, "%s", text);
    }
    return buffer;
}
