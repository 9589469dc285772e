#include "WizardTestKit.h"

#include <aclapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "MailerSettings.h"
#include "ServiceControl.h"
#include "testlib.h"

namespace wizardtest {

namespace {

const char kChildVar[] = "KODRA_WIZARD_FOLDER_CHILD";
const char kLogVar[] = "KODRA_DOUBLE_LOG";
const char kDoublesVar[] = "KODRA_WIZARD_DOUBLES";

std::string ProgramFile()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return (n > 0 && n < sizeof path) ? std::string(path, n) : std::string();
}

// The command line after the program's own path.
std::string ArgumentText()
{
    const char* p = GetCommandLineA();
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p) ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    return p;
}

// Runs this program as a copy in a scratch folder, its output going to ours.
int RunInPrivateFolder()
{
    testlib::ScratchDir folder("wizard folder");
    std::string self = ProgramFile();
    std::string name = self.substr(self.find_last_of('\\') + 1);
    if (!testlib::CopyInto(self, folder.Path(), name) ||
        !testlib::CopyInto(testlib::DoublesDir() + "\\kodra_double.exe", folder.Path(),
                           "KODRA.EXE")) {
        std::fprintf(stderr, "cannot prepare the wizard folder %s\n", folder.Path().c_str());
        return 2;
    }
    SetEnvironmentVariableA(kChildVar, "1");
    SetEnvironmentVariableA(kDoublesVar, testlib::DoublesDir().c_str());
    SetEnvironmentVariableA(kLogVar, folder.File("kodra double.log").c_str());
    std::string commandLine = "\"" + folder.File(name) + "\"" + ArgumentText();
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    std::fflush(stdout);
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        folder.Path().c_str(), &si, &pi)) {
        std::fprintf(stderr, "cannot start the copy: %lu\n", GetLastError());
        return 2;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(exitCode);
}

std::vector<EventRecorder::Event> g_events;

void ObserveEvent(const char* source, WORD type, DWORD id, const char* const* strings, int count)
{
    EventRecorder::Event e{source ? source : "", type, id, {}};
    for (int i = 0; i < count; ++i) e.strings.push_back(strings[i]);
    g_events.push_back(e);
}

}  // namespace

std::string WizardFolder()
{
    std::string self = ProgramFile();
    return self.substr(0, self.find_last_of('\\'));
}

std::string DoublesDir()
{
    const char* dir = std::getenv(kDoublesVar);
    return dir ? dir : testlib::DoublesDir();
}

std::string KodraProgramPath() { return WizardFolder() + "\\KODRA.EXE"; }

std::string KodraLogPath()
{
    const char* log = std::getenv(kLogVar);
    return log ? log : WizardFolder() + "\\kodra double.log";
}

std::vector<std::string> ReadKodraLog()
{
    std::vector<std::string> lines;
    std::istringstream in(testlib::ReadTextFile(KodraLogPath()));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void ClearKodraLog() { DeleteFileA(KodraLogPath().c_str()); }

EventRecorder::EventRecorder()
{
    g_events.clear();
    SetServiceEventObserver(ObserveEvent);
}

EventRecorder::~EventRecorder() { SetServiceEventObserver(nullptr); }

std::vector<EventRecorder::Event>& EventRecorder::Events() { return g_events; }

bool CreateDoubleService(const std::string& name)
{
    return testlib::CreateTestService(name, "\"" + KodraProgramPath() + "\" -service -name \"" + name +
                                                "\" -log \"" + KodraLogPath() + "\"");
}

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name)
{
    char old[1024];
    DWORD n = GetEnvironmentVariableA(name, old, sizeof old);
    hadOld_ = n > 0 && n < sizeof old;
    if (hadOld_) old_.assign(old, n);
    SetEnvironmentVariableA(name, value);
}

ScopedEnv::~ScopedEnv() { SetEnvironmentVariableA(name_.c_str(), hadOld_ ? old_.c_str() : nullptr); }

std::string Loaded(UINT stringId)
{
    CString text;
    text.LoadString(stringId);
    return text.GetString();
}

bool RestrictKey(HKEY key, bool readOnly)
{
    if (!readOnly)
        return SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                               nullptr, nullptr) == ERROR_SUCCESS;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return false;
    EXPLICIT_ACCESSA access{};
    access.grfAccessPermissions = KEY_READ | WRITE_DAC;
    access.grfAccessMode = SET_ACCESS;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = static_cast<LPSTR>(everyone);
    PACL acl = nullptr;
    bool ok = SetEntriesInAclA(1, &access, nullptr, &acl) == ERROR_SUCCESS &&
              SetSecurityInfo(key, SE_REGISTRY_KEY,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, acl, nullptr) == ERROR_SUCCESS;
    if (acl) LocalFree(acl);
    FreeSid(everyone);
    return ok;
}

std::optional<KeyValues> MailerKeySnapshot()
{
    HKEY key;
    if (testlib::OpenSharedKey(kMailerKey, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    KeyValues values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[1024];
        DWORD size = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        values[name] = {type, std::vector<BYTE>(data, data + size)};
    }
    RegCloseKey(key);
    return values;
}

}  // namespace wizardtest

int main(int argc, char** argv)
{
    if (!std::getenv(wizardtest::kChildVar)) return wizardtest::RunInPrivateFolder();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
