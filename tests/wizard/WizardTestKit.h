// Shared by the wizard core's tests. The wizard keeps its files beside its own
// program file ("KODRA.EXE", "SDSrv.bat", "netmsg.dll", "Messages.dat"), so each
// test program reruns itself as a copy in a private scratch folder (see
// WizardTestMain.cpp) and works there.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "classlib.h"

namespace wizardtest {

// The folder of the running copy, without a trailing backslash.
std::string WizardFolder();
// The build's doubles folder (testlib::DoublesDir of the original program).
std::string DoublesDir();
// "KODRA.EXE" in that folder, the KODRA program double.
std::string KodraProgramPath();
// The double's call log, named by KODRA_DOUBLE_LOG for this process and the
// programs it starts.
std::string KodraLogPath();
std::vector<std::string> ReadKodraLog();
void ClearKodraLog();

// Records every message box and answers it with a chosen button.
class MessageBoxes {
public:
    explicit MessageBoxes(int answer = IDOK);
    ~MessageBoxes();
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;

    struct Box {
        std::string text;
        std::string caption;
        UINT type;
    };
    const std::vector<Box>& Boxes() const { return boxes_; }
    std::vector<std::string> Texts() const;
    void SetAnswer(int answer) { answer_ = answer; }

private:
    std::vector<Box> boxes_;
    int answer_;
    classlib::MessageBoxHook previous_;
};

// Records the events reported through the wizard's event seam.
class EventRecorder {
public:
    EventRecorder();
    ~EventRecorder();
    EventRecorder(const EventRecorder&) = delete;
    EventRecorder& operator=(const EventRecorder&) = delete;

    struct Event {
        std::string source;
        WORD type;
        DWORD id;
        std::vector<std::string> strings;
    };
    static std::vector<Event>& Events();
};

// A service name for one test: gone before the test and again after it (stopped,
// its process ended when it ignores the stop, deleted, its keys removed).
class ScopedService {
public:
    explicit ScopedService(const std::string& name);
    ~ScopedService();
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;
    const std::string& Name() const { return name_; }
    const char* c_str() const { return name_.c_str(); }

private:
    std::string name_;
};

void RemoveServiceCompletely(const std::string& name);
// The service's state (SERVICE_RUNNING, ...), or 0 when it does not open.
DWORD ServiceState(const std::string& name);
bool ServicePresent(const std::string& name);
// Creates the service directly (not through the double) from the double's file.
bool CreateDoubleService(const std::string& name);
bool StartAndWaitRunning(const std::string& name);

// HKEY_LOCAL_MACHINE keys, removed with everything below them.
void DeleteKeyTree(HKEY root, const std::string& path);
bool KeyExists(HKEY root, const std::string& path);
// Lets everyone only read the key and change its security (readOnly), or gives
// everyone full access again.
bool RestrictKey(HKEY key, bool readOnly);

// Sets an environment variable for this process and the programs it starts
// while the object lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::string old_;
    bool hadOld_;
};

std::string Loaded(UINT stringId);

}  // namespace wizardtest
