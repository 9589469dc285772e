#include "TestServices.h"

#include "SharedKeyView.h"
#include "UniqueHandle.h"
#include "testlib.h"

namespace testlib {

namespace {

UniqueServiceHandle OpenTestService(const std::string& name, DWORD managerAccess, DWORD access)
{
    UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, managerAccess));
    if (!manager) return UniqueServiceHandle();
    return UniqueServiceHandle(OpenServiceA(manager.Get(), name.c_str(), access));
}

bool QueryState(SC_HANDLE service, DWORD state)
{
    SERVICE_STATUS status{};
    return QueryServiceStatus(service, &status) && status.dwCurrentState == state;
}

// Asks the service to stop; a service that ignores the stop loses its process.
void Stop(SC_HANDLE service)
{
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service, &status) || status.dwCurrentState == SERVICE_STOPPED) return;
    bool accepted = ControlService(service, SERVICE_CONTROL_STOP, &status) != 0;
    if (accepted && WaitFor([&] { return QueryState(service, SERVICE_STOPPED); }, std::chrono::seconds(3)))
        return;
    SERVICE_STATUS_PROCESS process{};
    DWORD needed = 0;
    if (!QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&process),
                              sizeof process, &needed))
        return;
    UniqueKernelHandle running(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process.dwProcessId));
    if (!running) return;
    TerminateProcess(running.Get(), 1);
    WaitForSingleObject(running.Get(), 5000);
}

bool WaitState(const std::string& name, DWORD state)
{
    return WaitFor([&] { return ServiceState(name) == state; });
}

}  // namespace

bool CreateTestService(const std::string& name, const std::string& commandLine)
{
    UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return false;
    UniqueServiceHandle service(CreateServiceA(manager.Get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                               SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                               SERVICE_ERROR_IGNORE, commandLine.c_str(), nullptr, nullptr,
                                               nullptr, nullptr, nullptr));
    return static_cast<bool>(service);
}

bool StartTestService(const std::string& name)
{
    UniqueServiceHandle service = OpenTestService(name, SC_MANAGER_CONNECT, SERVICE_START);
    return service &&
           (StartServiceA(service.Get(), 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING) &&
           WaitState(name, SERVICE_RUNNING);
}

bool StopTestService(const std::string& name)
{
    UniqueServiceHandle service = OpenTestService(name, SC_MANAGER_CONNECT, SERVICE_STOP);
    SERVICE_STATUS status{};
    return service &&
           (ControlService(service.Get(), SERVICE_CONTROL_STOP, &status) ||
            GetLastError() == ERROR_SERVICE_NOT_ACTIVE) &&
           WaitState(name, SERVICE_STOPPED);
}

bool RemoveService(const std::string& name)
{
    if (UniqueServiceHandle service = OpenTestService(name, SC_MANAGER_ALL_ACCESS, SERVICE_ALL_ACCESS)) {
        Stop(service.Get());
        DeleteService(service.Get());
    }
    // Deletion finishes a little later.
    bool gone = WaitFor([&] { return !ServicePresent(name); }, std::chrono::seconds(15));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\" + name);
    return gone;
}

ScopedService::ScopedService(const std::string& name) : name_(name) { RemoveService(name_); }

ScopedService::~ScopedService() { RemoveService(name_); }

DWORD ServiceState(const std::string& name)
{
    UniqueServiceHandle service = OpenTestService(name, SC_MANAGER_CONNECT, SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    return (service && QueryServiceStatus(service.Get(), &status)) ? status.dwCurrentState : 0;
}

bool ServicePresent(const std::string& name)
{
    return static_cast<bool>(OpenTestService(name, SC_MANAGER_CONNECT, SERVICE_QUERY_STATUS));
}

void DeleteKeyTree(HKEY root, const std::string& path)
{
    UniqueRegKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, key.Put()) != ERROR_SUCCESS) return;
    for (;;) {
        char child[256];
        DWORD size = sizeof child;
        if (RegEnumKeyExA(key.Get(), 0, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        std::string before = child;
        DeleteKeyTree(root, path + "\\" + before);
        char again[256];
        DWORD againSize = sizeof again;
        if (RegEnumKeyExA(key.Get(), 0, again, &againSize, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
            before == again)
            break;
    }
    key.Reset();
    RegDeleteKeyA(root, path.c_str());
}

LONG OpenSharedKey(const char* path, REGSAM access, HKEY* key)
{
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access | kSharedKeyView, key);
}

LONG CreateSharedKey(const char* path, REGSAM access, HKEY* key)
{
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, access | kSharedKeyView, nullptr,
                           key, nullptr);
}

LONG DeleteSharedKey(const char* path)
{
    return RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path, kSharedKeyView, 0);
}

::testing::AssertionResult SetSharedTextsNarrow(const char* path,
                                                const std::vector<std::pair<const char*, std::string>>& values)
{
    HKEY key;
    LONG rc = CreateSharedKey(path, KEY_SET_VALUE, &key);
    if (rc != ERROR_SUCCESS) return ::testing::AssertionFailure() << "create " << path << ": " << rc;
    for (const auto& [name, text] : values) {
        rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1));
        if (rc != ERROR_SUCCESS) break;
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return ::testing::AssertionFailure() << "set a value of " << path << ": " << rc;
    return ::testing::AssertionSuccess();
}

}  // namespace testlib
