// Plain functions over the service control manager. One service at a time may
// be open in the process (no lock: callers serialise); results are 1 or a handle
// on success, 0 or null on failure.
#pragma once

#include <windows.h>

#include "UniqueHandle.h"

// An empty display name means the service name. Runs as the local system account.
int SvcLibCreate(const char* serviceName, const char* displayName, const char* programPath);
int SvcLibDelete(const char* serviceName);

// Null while another service is open, and for a name of more than 127 characters.
SC_HANDLE SvcLibOpen(const char* machine, const char* serviceName, DWORD access);
SC_HANDLE SvcLibOpenAll(const char* machine, const char* serviceName);
int SvcLibClose(SC_HANDLE service);

int SvcLibStart(SC_HANDLE service, DWORD argumentCount, const char** arguments);
int SvcLibControl(SC_HANDLE service, DWORD control, SERVICE_STATUS* status);
int SvcLibQueryStatus(SC_HANDLE service, SERVICE_STATUS* status);

// The owner for a handle from SvcLibOpen or SvcLibOpenAll: SvcLibClose frees
// the slot along with the handle.
struct SvcLibHandleTraits {
    using Handle = SC_HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { SvcLibClose(handle); }
};
using UniqueSvcLibHandle = UniqueHandle<SvcLibHandleTraits>;
