#include "SvcLib.h"

#include <cstring>

namespace {

const size_t kNameChars = 128;

struct OpenSlot {
    int open;
    SC_HANDLE manager;
    char name[kNameChars];
};
OpenSlot g_slot;

bool SlotOpen(SC_HANDLE service) { return service != nullptr && g_slot.open; }

SC_HANDLE OpenIntoSlot(const char* machine, const char* serviceName, DWORD managerAccess,
                       DWORD serviceAccess)
{
    if (g_slot.open || !serviceName) return nullptr;
    size_t length = strlen(serviceName);
    if (length >= kNameChars) return nullptr;
    SC_HANDLE manager = OpenSCManagerA(machine, nullptr, managerAccess);
    if (!manager) return nullptr;
    SC_HANDLE service = OpenServiceA(manager, serviceName, serviceAccess);
    if (!service) {
        CloseServiceHandle(manager);
        return nullptr;
    }
    g_slot.open = 1;
    g_slot.manager = manager;
    memcpy(g_slot.name, serviceName, length + 1);
    return service;
}

}  // namespace

int SvcLibCreate(const char* serviceName, const char* displayName, const char* programPath)
{
    if (!serviceName || !displayName || !programPath) return 0;
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) return 0;
    const char* shown = displayName[0] ? displayName : serviceName;
    SC_HANDLE service = CreateServiceA(manager, serviceName, shown, SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                       SERVICE_ERROR_NORMAL, programPath, nullptr, nullptr,
                                       nullptr, nullptr, nullptr);
    if (service) CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return service ? 1 : 0;
}

int SvcLibDelete(const char* serviceName)
{
    if (!serviceName) return 0;
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) return 0;
    SC_HANDLE service = OpenServiceA(manager, serviceName, SERVICE_ALL_ACCESS);
    int deleted = 0;
    if (service) {
        deleted = DeleteService(service) ? 1 : 0;
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return deleted;
}

SC_HANDLE SvcLibOpen(const char* machine, const char* serviceName, DWORD access)
{
    return OpenIntoSlot(machine, serviceName, access, access);
}

SC_HANDLE SvcLibOpenAll(const char* machine, const char* serviceName)
{
    return OpenIntoSlot(machine, serviceName, SC_MANAGER_ALL_ACCESS, SERVICE_ALL_ACCESS);
}

int SvcLibClose(SC_HANDLE service)
{
    if (!SlotOpen(service)) return 0;
    CloseServiceHandle(service);
    if (g_slot.manager) CloseServiceHandle(g_slot.manager);
    memset(&g_slot, 0, sizeof g_slot);
    return 1;
}

int SvcLibStart(SC_HANDLE service, DWORD argumentCount, const char** arguments)
{
    if (!SlotOpen(service)) return 0;
    return StartServiceA(service, argumentCount, arguments) ? 1 : 0;
}

int SvcLibControl(SC_HANDLE service, DWORD control, SERVICE_STATUS* status)
{
    if (!SlotOpen(service)) return 0;
    SERVICE_STATUS local;
    return ControlService(service, control, status ? status : &local) ? 1 : 0;
}

int SvcLibQueryStatus(SC_HANDLE service, SERVICE_STATUS* status)
{
    if (!SlotOpen(service) || !status) return 0;
    return QueryServiceStatus(service, status) ? 1 : 0;
}
