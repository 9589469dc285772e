// Shared by the wizard core's tests. The wizard keeps its files beside its own
// program file ("KODRA.EXE", "SDSrv.bat", "netmsg.dll", "Messages.dat"), so each
// test program reruns itself as a copy in a private scratch folder (see
// WizardTestMain.cpp) and works there.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "TestServices.h"
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

// The services and keys of the tests, shared with the other programs' tests.
using testlib::DeleteKeyTree;
using testlib::ScopedService;
using testlib::ServicePresent;
using testlib::ServiceState;

// Creates the service directly (not through the double) from the double's file.
bool CreateDoubleService(const std::string& name);

bool KeyExists(HKEY root, const std::string& path);
// Lets everyone only read the key and change its security (readOnly), or gives
// everyone full access again.
bool RestrictKey(HKEY key, bool readOnly);

// Every value of the mailer's key as the wide calls give it: name, type and
// bytes; nothing when there is no key.
using KeyValues = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;
std::optional<KeyValues> MailerKeySnapshot();

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
