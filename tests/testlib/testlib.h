// Helpers shared by the Windows-side tests: folders of the build, scratch
// folders, starting programs, waiting on conditions and reading the recorder's log.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace testlib {

// Folder of the running test program, without a trailing backslash.
std::string TestBinDir();
// The installation folder build/bin, where the system's programs land.
std::string InstallDir();
// Folder of the built test doubles (the recorder and the others).
std::string DoublesDir();
// A file or folder of the source tree (tests/...), as a Windows path.
std::string SourcePath(const std::string& relative);

// A fresh, empty folder under the temporary folder, removed with everything in it
// when the object goes; the name may hold blanks to catch unquoted paths.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& hint = "kodra test");
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// While it lives, the process's current directory is the given folder; the
// previous one comes back when it goes.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& dir);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;
    bool Entered() const { return entered_; }

private:
    std::string previous_;
    bool entered_ = false;
};

bool CopyInto(const std::string& from, const std::string& toDir, const std::string& asName);
bool WriteTextFile(const std::string& path, const std::string& content);
std::string ReadTextFile(const std::string& path);  // empty when absent
bool FileExists(const std::string& path);

// Runs a command line (no shell), waits for it and returns its exit code, or -1
// when it could not start or did not end within the time-out (then it is killed).
// Extra variables are "NAME=value" texts added to this process's environment.
struct RunResult {
    bool started = false;
    bool ended = false;
    DWORD exitCode = 0;
};
RunResult Run(const std::string& commandLine, const std::string& workDir = "",
              const std::vector<std::string>& extraEnv = {},
              std::chrono::milliseconds timeout = std::chrono::seconds(30));

// Polls the condition until it holds or the time-out passes.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

// One start of the recorder, as it logged it.
struct RecordedStart {
    std::string exe;
    std::string cmd;
    std::string cwd;
    int show = -1;  // wShowWindow when the starter set it, else -1
    std::vector<std::string> args;  // argv[1] on, as the program's C runtime split cmd
};
std::vector<RecordedStart> ReadRecorderLog(const std::string& logPath);

// A primary token like this process's with the Administrators group made
// deny-only, for a thread to impersonate or a program to run under; null on
// failure. The caller closes it.
HANDLE RestrictedAdminToken();

// "KODRA_RECORD_LOG=<path>", for Run's extra environment.
std::string RecorderLogVar(const std::string& logPath);

}  // namespace testlib
