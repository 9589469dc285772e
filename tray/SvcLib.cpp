#include "SvcLib.h"

#include <cstring>
#include <utility>

#include "UniqueHandle.h"

namespace {

const size_t kNameChars = 128;

struct OpenSlot {
    int open = 0;
    UniqueServiceHandle manager;
    char name[kNameChars] = "";
};
OpenSlot g_slot;

bool SlotOpen(SC_HANDLE service) { return service != nullptr && g_slot.open; }

void ClearSlot()
{
    g_slot.open = 0;
    g_slot.manager.Reset();
    memset(g_slot.name, 0, sizeof g_slot.name);
}

SC_HANDLE OpenIntoSlot(const char* machine, const char* serviceName, DWORD managerAccess,
                       DWORD serviceAccess)
{
    if (g_slot.open || !serviceName) return nullptr;
    size_t length = strlen(serviceName);
    if (length >= kNameChars) return nullptr;
    UniqueServiceHandle manager(OpenSCManagerA(machine, nullptr, managerAccess));
    if (!manager) return nullptr;
    SC_HANDLE service = OpenServiceA(manager.Get(), serviceName, serviceAccess);
    if (!service) return nullptr;
    g_slot.open = 1;
    g_slot.manager = std::move(manager);
    memcpy(g_slot.name, serviceName, length + 1);
    return service;
}

}  // namespace

int SvcLibCreate(const char* serviceName, const char* displayName, const char* programPath)
{
    if (!serviceName || !displayName || !programPath) return 0;
    UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return 0;
    const char* shown = displayName[0] ? displayName : serviceName;
    UniqueServiceHandle service(CreateServiceA(manager.Get(), serviceName, shown,
                                               SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                               SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                               programPath, nullptr, nullptr, nullptr, nullptr,
                                               nullptr));
    return service ? 1 : 0;
}

int SvcLibDelete(const char* serviceName)
{
    if (!serviceName) return 0;
    UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return 0;
    UniqueServiceHandle service(OpenServiceA(manager.Get(), serviceName, SERVICE_ALL_ACCESS));
    return service && DeleteService(service.Get()) ? 1 : 0;
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
    // The caller's handle: the module hands it out raw and takes it back here.
    UniqueServiceHandle(service).Reset();
    ClearSlot();
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
