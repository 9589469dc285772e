#include "ServiceControl.h"

#include "CnfData.h"
#include "IniUtil.h"
#include "KodraProgram.h"
#include "UniqueHandle.h"
#include "WizardUtil.h"
#include "resource.h"

#include <cstring>

namespace {

const char kEventLogKey[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\";
const DWORD kPollMilliseconds = 500;

ServiceEventObserver g_eventObserver = nullptr;

// The service manager and one service in it; error tells why the service
// could not be opened, the manager's failure included.
struct ServiceHandles {
    UniqueServiceHandle manager;
    UniqueServiceHandle service;
    DWORD error = 0;
};

ServiceHandles OpenServiceHandles(const char* serviceName, DWORD managerAccess, DWORD serviceAccess)
{
    ServiceHandles handles;
    handles.manager.Reset(OpenSCManagerA(nullptr, nullptr, managerAccess));
    if (handles.manager)
        handles.service.Reset(OpenServiceA(handles.manager.Get(), serviceName, serviceAccess));
    if (!handles.service) handles.error = GetLastError();
    return handles;
}

// The name as the KODRA program's argument: quoted when it holds a blank, so it
// stays one argument.
CString NameArgument(const char* serviceName)
{
    if (std::strchr(serviceName, ' ')) return CString("\"") + serviceName + "\"";
    return serviceName;
}

CString KodraArguments(const char* format, const char* serviceName)
{
    CString arguments;
    arguments.Format(format, NameArgument(serviceName).GetString());
    return arguments;
}

DWORD StopUnderWaitCursor(const char* serviceName)
{
    CWaitCursor wait;
    return StopServiceWait(serviceName, kKodraStopTimeoutSeconds);
}

bool WaitDeletedUnderWaitCursor(const char* serviceName)
{
    CWaitCursor wait;
    return WaitServiceDeleted(serviceName, kKodraDeleteTimeoutSeconds);
}

}  // namespace

void SetServiceEventObserver(ServiceEventObserver observer) { g_eventObserver = observer; }

bool GetSystemErrorText(DWORD code, char* buffer, int size)
{
    if (!buffer || size <= 0) return false;
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                  FORMAT_MESSAGE_IGNORE_INSERTS;
    UniqueLibrary netmsg;
    if (code >= 2100 && code <= 2999) {
        netmsg.Reset(LoadLibraryExA("netmsg.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
        if (netmsg) flags |= FORMAT_MESSAGE_FROM_HMODULE;
    }
    char* text = nullptr;
    DWORD length =
        FormatMessageA(flags, netmsg.Get(), code, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                       reinterpret_cast<char*>(&text), 0, nullptr);
    UniqueLocalMemory textOwner(text);
    bool found = length > 0 && text;
    if (found) {
        size_t count = length < static_cast<DWORD>(size) ? length : static_cast<size_t>(size - 1);
        std::memcpy(buffer, text, count);
        buffer[count] = '\0';
    }
    return found;
}

bool ServiceExists(const char* serviceName)
{
    ServiceHandles handles =
        OpenServiceHandles(serviceName, SC_MANAGER_ALL_ACCESS, SERVICE_QUERY_CONFIG);
    return handles.service.Get() != nullptr;
}

bool ServiceIsGone(const char* serviceName)
{
    ServiceHandles handles =
        OpenServiceHandles(serviceName, SC_MANAGER_CONNECT, SERVICE_QUERY_STATUS);
    return !handles.service.Get() && handles.error == ERROR_SERVICE_DOES_NOT_EXIST;
}

bool IsServiceActive(const char* serviceName)
{
    ServiceHandles handles =
        OpenServiceHandles(serviceName, SC_MANAGER_ALL_ACCESS, SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    return handles.service.Get() && QueryServiceStatus(handles.service.Get(), &status) &&
           status.dwCurrentState != SERVICE_STOPPED;
}

DWORD StopServiceWait(const char* serviceName, int seconds)
{
    if (!serviceName || !*serviceName || seconds <= 0) return ERROR_INVALID_PARAMETER;
    ServiceHandles handles =
        OpenServiceHandles(serviceName, SC_MANAGER_CONNECT, SERVICE_QUERY_STATUS | SERVICE_STOP);
    if (!handles.service.Get()) return handles.error;
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(handles.service.Get(), &status)) return GetLastError();
    if (status.dwCurrentState == SERVICE_STOPPED) return 0;
    if (!ControlService(handles.service.Get(), SERVICE_CONTROL_STOP, &status))
        return GetLastError();
    DWORD start = GetTickCount();
    DWORD limit = static_cast<DWORD>(seconds) * 1000;
    while (status.dwCurrentState != SERVICE_STOPPED && GetTickCount() - start < limit) {
        Sleep(kPollMilliseconds);
        if (!QueryServiceStatus(handles.service.Get(), &status)) break;
    }
    return status.dwCurrentState == SERVICE_STOPPED ? 0 : ERROR_TIMEOUT;
}

DWORD StartServiceIfStopped(const char* serviceName)
{
    if (!serviceName || !*serviceName) return ERROR_INVALID_PARAMETER;
    ServiceHandles handles =
        OpenServiceHandles(serviceName, SC_MANAGER_CONNECT, SERVICE_QUERY_STATUS | SERVICE_START);
    if (!handles.service.Get()) return handles.error;
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(handles.service.Get(), &status)) return GetLastError();
    if (status.dwCurrentState != SERVICE_STOPPED) return 0;
    return StartServiceA(handles.service.Get(), 0, nullptr) ? 0 : GetLastError();
}

bool WaitServiceDeleted(const char* serviceName, int seconds)
{
    DWORD start = GetTickCount();
    DWORD limit = seconds > 0 ? static_cast<DWORD>(seconds) * 1000 : 0;
    while (GetTickCount() - start < limit) {
        {
            ServiceHandles handles =
                OpenServiceHandles(serviceName, SC_MANAGER_ALL_ACCESS, SERVICE_QUERY_STATUS);
            if (!handles.service.Get() && handles.error == ERROR_SERVICE_DOES_NOT_EXIST)
                return true;
        }
        Sleep(kPollMilliseconds);
    }
    return false;
}

bool ConfirmValidServiceName(const char* serviceName)
{
    if (IsValidServiceName(serviceName)) return true;
    CString message;
    message.Format("The service name \"%s\" cannot be used.\r\n"
                   "A service name has 1 to %d characters, no blank at either end, and no "
                   "\\, /, double quote or control character.",
                   serviceName ? serviceName : "", kMaxServiceNameLength);
    ShowInfoMessage(message);
    return false;
}

bool InstallService(const char* eventSource, const char* programName, const char* serviceName)
{
    if (!ConfirmValidServiceName(serviceName)) return false;
    if (IsServiceActive(serviceName)) {
        DWORD code = StopUnderWaitCursor(serviceName);
        if (code) {
            ShowServiceError(code, IDS_SERVICE_STOP_FAILED, serviceName);
            return false;
        }
    }
    CString path;
    MakeAbsolutePath(programName, path);

    if (ServiceExists(serviceName)) {
        DWORD error = 0;
        if (!RunProgram(path, KodraArguments(kKodraUninstallArgs, serviceName), true, SW_HIDE,
                        &error)) {
            ShowServiceError(error, IDS_SERVICE_INSTALL_FAILED);
            return false;
        }
        // Deletion completes after the program ends; a name still taken would
        // make "-i" fail or leave the old service in place.
        if (!WaitDeletedUnderWaitCursor(serviceName)) {
            ShowServiceError(0, IDS_SERVICE_CANNOT_INSTALL);
            return false;
        }
    }

    DWORD error = 0;
    bool started =
        RunProgram(path, KodraArguments(kKodraInstallArgs, serviceName), true, SW_HIDE, &error);
    if (started && !ServiceExists(serviceName)) {
        ShowServiceError(ERROR_SERVICE_DOES_NOT_EXIST, IDS_SERVICE_INSTALL_FAILED);
        return false;
    }
    bool registered = started && RegisterEventLogSource(eventSource, path);
    if (!registered) {
        DWORD code = started ? GetLastError() : error;
        if (code == ERROR_SERVICE_MARKED_FOR_DELETE || code == ERROR_IO_PENDING)
            ShowServiceError(0, IDS_SERVICE_CANNOT_INSTALL);
        else
            ShowServiceError(code, IDS_SERVICE_INSTALL_FAILED);
        return false;
    }
    ReportServiceEvent(serviceName, EVENTLOG_INFORMATION_TYPE, kKodraEventInstalled, serviceName);
    return true;
}

bool RemoveService(const char* serviceName)
{
    if (IsServiceActive(serviceName)) {
        DWORD code = StopUnderWaitCursor(serviceName);
        if (code) {
            ShowServiceError(code, IDS_SERVICE_STOP_FAILED, serviceName);
            return false;
        }
    }
    {
        UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        if (!manager) {
            ShowServiceError(GetLastError(), IDS_SCM_OPEN_FAILED);
            return false;
        }
        UniqueServiceHandle service(OpenServiceA(manager.Get(), serviceName, DELETE));
        if (!service) {
            DWORD code = GetLastError();
            manager.Reset();
            ShowServiceError(code, IDS_SERVICE_OPEN_FAILED);
            return false;
        }
        BOOL deleted = DeleteService(service.Get());
        DWORD code = deleted ? 0 : GetLastError();
        service.Reset();
        manager.Reset();
        if (!deleted) {
            if (code == ERROR_SERVICE_MARKED_FOR_DELETE)
                ShowServiceError(0, IDS_SERVICE_CANNOT_DELETE);
            else
                ShowServiceError(code, IDS_SERVICE_DELETE_FAILED);
            return false;
        }
    }
    WaitDeletedUnderWaitCursor(serviceName);
    return true;
}

bool UninstallService(const char* serviceName)
{
    bool removed = RemoveService(serviceName);
    ReportServiceEvent(serviceName, removed ? EVENTLOG_INFORMATION_TYPE : EVENTLOG_ERROR_TYPE,
                       removed ? kKodraEventRemoved : kKodraEventRemoveFailed, serviceName);
    return removed;
}

bool RegisterEventLogSource(const char* sourceName, const char* messageFile)
{
    HKEY created = nullptr;
    LONG result = RegCreateKeyA(HKEY_LOCAL_MACHINE, CString(kEventLogKey) + sourceName, &created);
    if (result != ERROR_SUCCESS) {
        // The caller reports the thread's last error.
        SetLastError(static_cast<DWORD>(result));
        return false;
    }
    UniqueRegKey key(created);
    // A source without its message file or types shows no texts in the event
    // log: a value that cannot be written fails the registration.
    DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
    result = RegSetValueExA(key.Get(), "EventMessageFile", 0, REG_EXPAND_SZ,
                            reinterpret_cast<const BYTE*>(messageFile),
                            static_cast<DWORD>(std::strlen(messageFile) + 1));
    if (result == ERROR_SUCCESS)
        result = RegSetValueExA(key.Get(), "TypesSupported", 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&types), sizeof types);
    key.Reset();
    if (result != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(result));
        return false;
    }
    return true;
}

void ReportServiceEvent(const char* sourceName, WORD type, DWORD eventId, const char* string1,
                        const char* string2, const char* string3)
{
    const char* strings[3] = {string1, string2, string3};
    int count = 0;
    while (count < 3 && strings[count]) ++count;
    if (g_eventObserver) g_eventObserver(sourceName, type, eventId, strings, count);
    UniqueEventSource source(RegisterEventSourceA(nullptr, sourceName));
    if (!source) return;
    ReportEventA(source.Get(), type, 0, eventId, nullptr, static_cast<WORD>(count), 0, strings,
                 nullptr);
}

bool CheckServiceProgram(CString& baseName, bool warn)
{
    baseName = kKodraBaseName;
    CString path;
    MakeAbsolutePath(baseName + kKodraProgramExtension, path);
    if (FileExistsInProgramDir(path)) return true;
    if (warn) {
        CString message;
        message.Format(LoadResString(IDS_PROGRAM_MISSING), path.GetString());
        ShowInfoMessage(message, LoadResString(IDS_WARNING));
    }
    return false;
}

void ShowServiceError(DWORD code, UINT stringId, const char* serviceName)
{
    CString format = LoadResString(stringId);
    CString message;
    if (code != 0) {
        char text[1024];
        CString error = GetSystemErrorText(code, text, sizeof text) ? CString(text)
                                                                     : LoadResString(IDS_UNKNOWN_ERROR);
        if (serviceName)
            message.Format(format, serviceName, error.GetString());
        else
            message.Format(format, error.GetString());
    } else if (serviceName) {
        message.Format(format, serviceName);
    } else {
        message = format;
    }
    ShowInfoMessage(message);
}
