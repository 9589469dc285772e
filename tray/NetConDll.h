// Run-time binding of the transport library: a missing library or entry point
// becomes a plain failure result of the wrapper instead of a crash.
#pragma once

#include <windows.h>

#include <cstdint>

#include "KarNet.h"
#include "UniqueHandle.h"

// The tray's form reports nothing; the forwarding launcher's form traces a
// library that does not load.
enum class NetConForm { Tray, Launcher };

// True once spanMs have passed from since to now, across the tick counter's wrap.
bool TicksPassed(DWORD since, DWORD now, DWORD spanMs);

class CNetConDll {
public:
    // A bare file name is loaded from the running program's own folder, never
    // through the search path; the load result is not reported here.
    explicit CNetConDll(const char* libraryName, NetConForm form = NetConForm::Tray);
    ~CNetConDll();
    CNetConDll(const CNetConDll&) = delete;
    CNetConDll& operator=(const CNetConDll&) = delete;

    bool LoadAndInstall(const char* libraryName);
    bool Load(const char* libraryName);
    void Unload();
    bool HasEntry(int index) const;  // index: NetConEntry
    int Install();
    void Remove();

    bool Open(const char* address);
    void Close();
    int WriteData(const void* bytes, uint32_t length, uint32_t* count);
    int ReadData(void* buffer, uint32_t size, uint32_t* count);
    int Status(uint32_t* flags);
    // Polls the status every pollMs until data waits (true), or the time-out
    // passes, the status fails, the connection is no longer usable or, when
    // pumping, a quit message arrives (false).
    bool WaitStatus(bool pumpMessages, DWORD timeoutMs, DWORD pollMs);
    bool WaitData(DWORD timeoutMs);

private:
    template <typename Fn>
    Fn Entry(int index) const;

    UniqueLibrary module_;
    FARPROC* entries_ = nullptr;
    NetConHandle handle_ = 0;
    NetConForm form_;
};
