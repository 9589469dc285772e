// Stands in for the KODRA program "KODRA.EXE": "-i -name X" creates a real
// own-process service X that runs this same file, "-u -name X" deletes it.
// "-service -name X" is how the service manager runs it (tests may also
// install it that way themselves). Every call (its whole command line) and every start and stop of the service
// is appended to a log, so a test sees which calls came in which order.
//   KODRA_DOUBLE_LOG=<path>          the log (handed on to the service it creates)
//   KODRA_DOUBLE_INSTALL=fail        "-i" creates nothing
//   KODRA_DOUBLE_UNINSTALL=fail      "-u" deletes nothing
//   KODRA_DOUBLE_STOP=ignore|refuse  the created service stays running on a stop
//                                    request (ignore) or does not accept one (refuse)
#include <windows.h>

#include <string>
#include <vector>

int _dowildcard = 0;

namespace {

std::string g_log;
std::string g_name;
std::string g_stopMode;
SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
SERVICE_STATUS g_status{};
HANDLE g_stopEvent = nullptr;

std::string Env(const char* name)
{
    char value[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return (n > 0 && n < sizeof value) ? std::string(value, n) : std::string();
}

void Log(const std::string& line)
{
    if (g_log.empty()) return;
    std::string entry = line + "\r\n";
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE f = CreateFileA(g_log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(f, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
            CloseHandle(f);
            return;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION) return;
        Sleep(5);
    }
}

std::string SelfPath()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return (n > 0 && n < sizeof path) ? std::string(path, n) : std::string();
}

void ReportState(DWORD state)
{
    g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g_status.dwCurrentState = state;
    g_status.dwControlsAccepted =
        (state == SERVICE_RUNNING && g_stopMode != "refuse") ? SERVICE_ACCEPT_STOP : 0;
    g_status.dwWin32ExitCode = NO_ERROR;
    SetServiceStatus(g_statusHandle, &g_status);
}

DWORD WINAPI ControlHandler(DWORD control, DWORD, void*, void*)
{
    if (control == SERVICE_CONTROL_STOP) {
        Log("service stop-request " + g_name);
        if (g_stopMode == "ignore") return NO_ERROR;
        ReportState(SERVICE_STOP_PENDING);
        SetEvent(g_stopEvent);
        return NO_ERROR;
    }
    if (control == SERVICE_CONTROL_INTERROGATE) return NO_ERROR;
    return ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, char**)
{
    g_statusHandle = RegisterServiceCtrlHandlerExA(g_name.c_str(), ControlHandler, nullptr);
    if (!g_statusHandle) return;
    g_stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // Logged before the state is: whoever sees the service running finds its
    // start in the log, and a log cleared after that stays empty.
    Log("service start " + g_name);
    ReportState(SERVICE_RUNNING);
    WaitForSingleObject(g_stopEvent, INFINITE);
    Log("service stopped " + g_name);
    ReportState(SERVICE_STOPPED);
}

int Install()
{
    if (Env("KODRA_DOUBLE_INSTALL") == "fail") return 1;
    std::string image = "\"" + SelfPath() + "\" -service -name \"" + g_name + "\"";
    std::string stop = Env("KODRA_DOUBLE_STOP");
    if (!stop.empty()) image += " -stop " + stop;
    if (!g_log.empty()) image += " -log \"" + g_log + "\"";
    SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!scm) return 2;
    SC_HANDLE svc = CreateServiceA(scm, g_name.c_str(), g_name.c_str(), SERVICE_ALL_ACCESS,
                                   SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                   SERVICE_ERROR_IGNORE, image.c_str(), nullptr, nullptr,
                                   nullptr, nullptr, nullptr);
    DWORD error = svc ? 0 : GetLastError();
    if (svc) CloseServiceHandle(svc);
    CloseServiceHandle(scm);
    if (error) Log("install-failed " + std::to_string(error));
    return error ? 3 : 0;
}

int Uninstall()
{
    if (Env("KODRA_DOUBLE_UNINSTALL") == "fail") return 1;
    SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!scm) return 2;
    SC_HANDLE svc = OpenServiceA(scm, g_name.c_str(), DELETE);
    bool deleted = svc && DeleteService(svc);
    DWORD error = deleted ? 0 : GetLastError();
    if (svc) CloseServiceHandle(svc);
    CloseServiceHandle(scm);
    if (error) Log("uninstall-failed " + std::to_string(error));
    return deleted ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string mode;
    g_log = Env("KODRA_DOUBLE_LOG");
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool hasValue = i + 1 < args.size();
        if (a == "-i" || a == "-u" || a == "-service") mode = a;
        else if (a == "-name" && hasValue) g_name = args[++i];
        else if (a == "-stop" && hasValue) g_stopMode = args[++i];
        else if (a == "-log" && hasValue) g_log = args[++i];
    }
    if (mode == "-service") {
        SERVICE_TABLE_ENTRYA table[] = {{const_cast<char*>(g_name.c_str()), ServiceMain},
                                        {nullptr, nullptr}};
        return StartServiceCtrlDispatcherA(table) ? 0 : 1;
    }
    Log(std::string("call ") + GetCommandLineA());
    if (g_name.empty()) return 4;
    if (mode == "-i") return Install();
    if (mode == "-u") return Uninstall();
    return 4;
}
