// Thin layer over the operating system: administrator check, files and folders,
// the program's own file and folder, free space, moving folder trees, error codes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

// Owns one loaded module; NULL when loading failed.
class CLibraryHandle {
public:
    explicit CLibraryHandle(const std::string& name);
    ~CLibraryHandle();
    CLibraryHandle(const CLibraryHandle&) = delete;
    CLibraryHandle& operator=(const CLibraryHandle&) = delete;
    HMODULE GetHandle() const { return handle_; }

private:
    HMODULE handle_;
};

// Owns a buffered file stream and a system file handle.
class CFileHandle {
public:
    CFileHandle(const char* path, const char* mode);
    ~CFileHandle();
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

private:
    FILE* stream_;
    HANDLE handle_;
};

BOOL IsAdministrator();
// Tests only: while on, IsAdministrator answers FALSE without asking the system,
// so a caller's refusal path can be driven in a process that runs as administrator.
void ForceNotAdministratorForTests(bool on);

std::string GetModuleFilePath(HMODULE module);
std::string GetModuleDirectory(HMODULE module);
std::string GetCurrentDir();
BOOL SetCurrentDir(const std::string& path);

bool FileExists(const std::string& path);
// The whole file read in text mode (CR LF reads as LF); false when it cannot be
// opened or a read fails.
bool ReadTextFile(const std::string& path, std::string& text);
bool DirectoryExists(const std::string& path);
BOOL FindOnSearchPath(const char* name, std::string& out);
bool GetFileSize64(const std::string& path, uint64_t* out);
uint32_t GetFileSize32(const std::string& path);

bool GetDiskSpace(const std::string& path, uint64_t* available, uint64_t* total, uint64_t* free);
// Steps of GetDiskSpace: the volume root it asks for, the extended call
// (1 done, -1 failed, 0 entry point missing) and the cluster-count way.
std::string DiskSpaceRoot(const std::string& path);
int GetDiskSpaceEx(const std::string& root, uint64_t* available, uint64_t* total, uint64_t* free);
bool GetDiskSpaceClusters(const std::string& root, uint64_t* available, uint64_t* total,
                          uint64_t* free);

int32_t MoveDirectoryTree(const std::string& source, const std::string& target, DWORD moveFlags);
int32_t MoveDirectoryTreeEx(const std::string& source, const std::string& target, DWORD moveFlags,
                            bool keepSourceRoot);

int32_t HResultFromWin32(int32_t code);
char* FormatSystemError(DWORD code, char* buffer, unsigned size);
int CutLineBreak(char* text);
