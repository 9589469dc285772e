#include "testlib.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace testlib {

namespace {

std::string ModuleDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return ".";
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\'));
}

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

}  // namespace

std::string TestBinDir() { return ModuleDir(); }
std::string InstallDir() { return ModuleDir() + "\\..\\..\\bin"; }
std::string DoublesDir() { return ModuleDir() + "\\..\\doubles"; }

std::string SourcePath(const std::string& relative)
{
    std::string s = std::string("Z:") + KODRA_SOURCE_DIR + "/" + relative;
    for (char& c : s)
        if (c == '/') c = '\\';
    return s;
}

ScratchDir::ScratchDir(const std::string& hint)
{
    char tmp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof tmp, tmp);
    std::string base = (n > 0 && n < sizeof tmp) ? std::string(tmp, n) : std::string("C:\\");
    static LONG counter = 0;
    for (;;) {
        std::ostringstream name;
        name << base << hint << " " << GetCurrentProcessId() << "-" << InterlockedIncrement(&counter);
        if (CreateDirectoryA(name.str().c_str(), nullptr)) {
            path_ = name.str();
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) std::abort();
    }
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

CurrentDirectory::CurrentDirectory(const std::string& dir)
{
    char previous[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(sizeof previous, previous);
    if (n == 0 || n >= sizeof previous) return;
    previous_.assign(previous, n);
    entered_ = SetCurrentDirectoryA(dir.c_str()) != 0;
}

CurrentDirectory::~CurrentDirectory()
{
    if (entered_) SetCurrentDirectoryA(previous_.c_str());
}

bool CopyInto(const std::string& from, const std::string& toDir, const std::string& asName)
{
    return CopyFileA(from.c_str(), (toDir + "\\" + asName).c_str(), FALSE) != 0;
}

bool WriteTextFile(const std::string& path, const std::string& content)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << content;
    return static_cast<bool>(f);
}

std::string ReadTextFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

RunResult Run(const std::string& commandLine, const std::string& workDir,
              const std::vector<std::string>& extraEnv, std::chrono::milliseconds timeout)
{
    std::vector<std::pair<std::string, std::string>> saved;
    for (const std::string& var : extraEnv) {
        std::string name = var.substr(0, var.find('='));
        char old[32768];
        DWORD n = GetEnvironmentVariableA(name.c_str(), old, sizeof old);
        saved.emplace_back(name, n > 0 && n < sizeof old ? std::string(old, n) : std::string("\x01"));
        SetEnvironmentVariableA(name.c_str(), var.substr(name.size() + 1).c_str());
    }
    RunResult r;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    r.started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               workDir.empty() ? nullptr : workDir.c_str(), &si, &pi) != 0;
    for (const auto& [name, value] : saved)
        SetEnvironmentVariableA(name.c_str(), value == "\x01" ? nullptr : value.c_str());
    if (!r.started) return r;
    if (WaitForSingleObject(pi.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0) {
        r.ended = true;
        GetExitCodeProcess(pi.hProcess, &r.exitCode);
    } else {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return r;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::vector<RecordedStart> ReadRecorderLog(const std::string& logPath)
{
    std::vector<RecordedStart> starts;
    std::istringstream in(ReadTextFile(logPath));
    std::string line;
    RecordedStart cur;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "end") {
            starts.push_back(cur);
            cur = RecordedStart();
        } else if (line.rfind("exe=", 0) == 0) {
            cur.exe = line.substr(4);
        } else if (line.rfind("cmd=", 0) == 0) {
            cur.cmd = line.substr(4);
        } else if (line.rfind("cwd=", 0) == 0) {
            cur.cwd = line.substr(4);
        } else if (line.rfind("show=", 0) == 0) {
            cur.show = std::atoi(line.c_str() + 5);
        } else if (line.rfind("arg=", 0) == 0) {
            cur.args.push_back(line.substr(4));
        }
    }
    return starts;
}

HANDLE RestrictedAdminToken()
{
    HANDLE own = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY, &own))
        return nullptr;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    HANDLE restricted = nullptr;
    if (AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                 0, 0, &admins)) {
        SID_AND_ATTRIBUTES deny = {admins, 0};
        if (!CreateRestrictedToken(own, 0, 1, &deny, 0, nullptr, 0, nullptr, &restricted)) restricted = nullptr;
        FreeSid(admins);
    }
    CloseHandle(own);
    return restricted;
}

std::string RecorderLogVar(const std::string& logPath) { return "KODRA_RECORD_LOG=" + logPath; }

}  // namespace testlib
