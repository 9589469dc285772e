#include "ServiceState.h"

#include <windows.h>

#include "SvcLib.h"
#include "TrayApp.h"
#include "TrayResources.h"
#include "ZLock.h"

void PollServiceState()
{
    zwin::CZSmartLock hold(&theTrayApp.Lock, true);
    int running = IsServiceRunning(theTrayApp.Product.c_str()) ? 1 : 0;
    if (running != theTrayApp.LastServiceState) {
        SetTrayIcon(running ? IDI_RUNNING : IDI_STOPPED);
        std::string text = LoadTrayString(running ? IDS_SERVICE_RUNNING : IDS_SERVICE_STOPPED);
        theTrayApp.Icon.SetTooltip(theTrayApp.Product + "-" + text);
    }
    theTrayApp.LastServiceState = running;
}

bool IsServiceRunning(const char* serviceName)
{
    UniqueSvcLibHandle service(SvcLibOpen(nullptr, serviceName, GENERIC_READ));
    if (!service) return false;
    SERVICE_STATUS status = {};
    return SvcLibQueryStatus(service.Get(), &status) && status.dwCurrentState == SERVICE_RUNNING;
}
