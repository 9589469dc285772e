#include "NetConDll.h"

#include <cstring>
#include <new>
#include <string>

#include "DebugTrace.h"
#include "SysFileUtil.h"

namespace {

const char* const kEntryNames[NETCON_ENTRY_COUNT] = {
    "NetConInstall",    "NetConRemove",       "NetConOpen",          "NetConClose",
    "NetConWriteData",  "NetConReadData",     "NetConStatus",        "NetConDisconnect",
    "NetConWriteDataTo", "NetConReadDataFrom", "NetConBroadcastData", "NetConLastError",
    "NetConOpen2",
};

// A bare name is taken from the program's folder: a library of that name planted
// in the current folder or on the search path must not be loaded.
std::string LibraryPath(const char* name)
{
    if (strpbrk(name, "\\/:")) return name;
    std::string folder = GetModuleDirectory(nullptr);
    return folder.empty() ? std::string() : folder + name;
}

}  // namespace

bool TicksPassed(DWORD since, DWORD now, DWORD spanMs) { return now - since >= spanMs; }

CNetConDll::CNetConDll(const char* libraryName, NetConForm form) : form_(form)
{
    LoadAndInstall(libraryName);
}

CNetConDll::~CNetConDll()
{
    Remove();
    Unload();
}

template <typename Fn>
Fn CNetConDll::Entry(int index) const
{
    // Through the generic function type, which may be cast to any other.
    return HasEntry(index) ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(entries_[index]))
                           : nullptr;
}

bool CNetConDll::LoadAndInstall(const char* libraryName)
{
    return Load(libraryName) && Install() != 0;
}

bool CNetConDll::Load(const char* libraryName)
{
    if (!libraryName) return false;
    Unload();
    entries_ = new (std::nothrow) FARPROC[NETCON_ENTRY_COUNT]();
    if (!entries_) return false;
    SetErrorMode(SEM_NOOPENFILEERRORBOX);
    std::string path = LibraryPath(libraryName);
    module_.Reset(path.empty() ? nullptr : LoadLibraryA(path.c_str()));
    if (!module_) {
        if (form_ == NetConForm::Launcher) DebugInfo("ERROR: Loading '%s'\n", libraryName);
        Unload();
        return false;
    }
    for (int i = 0; i < NETCON_ENTRY_COUNT; ++i) entries_[i] = GetProcAddress(module_.Get(), kEntryNames[i]);
    return true;
}

void CNetConDll::Unload()
{
    module_.Reset();
    delete[] entries_;
    entries_ = nullptr;
}

bool CNetConDll::HasEntry(int index) const
{
    return module_ && entries_ && index >= 0 && index < NETCON_ENTRY_COUNT && entries_[index];
}

int CNetConDll::Install()
{
    auto install = Entry<NetConInstallFn>(NETCON_INSTALL);
    return install ? install() : 0;
}

void CNetConDll::Remove()
{
    Close();
    if (auto remove = Entry<NetConRemoveFn>(NETCON_REMOVE)) remove();
}

bool CNetConDll::Open(const char* address)
{
    Close();
    auto open = Entry<NetConOpenFn>(NETCON_OPEN);
    if (!open) return false;
    handle_ = open(address);
    return handle_ != 0;
}

void CNetConDll::Close()
{
    auto close = Entry<NetConCloseFn>(NETCON_CLOSE);
    if (handle_ == 0 || !close) return;
    close(handle_);
    handle_ = 0;
}

int CNetConDll::WriteData(const void* bytes, uint32_t length, uint32_t* count)
{
    auto write = Entry<NetConWriteDataFn>(NETCON_WRITE_DATA);
    return handle_ != 0 && write ? write(handle_, bytes, length, count) : 0;
}

int CNetConDll::ReadData(void* buffer, uint32_t size, uint32_t* count)
{
    auto read = Entry<NetConReadDataFn>(NETCON_READ_DATA);
    return handle_ != 0 && read ? read(handle_, buffer, size, count) : 0;
}

int CNetConDll::Status(uint32_t* flags)
{
    auto status = Entry<NetConStatusFn>(NETCON_STATUS);
    return handle_ != 0 && status ? status(handle_, flags, 0) : 0;
}

bool CNetConDll::WaitStatus(bool pumpMessages, DWORD timeoutMs, DWORD pollMs)
{
    uint32_t flags = NETCON_USABLE;
    DWORD begin = GetTickCount();
    while (flags & NETCON_USABLE) {
        if (TicksPassed(begin, GetTickCount(), timeoutMs)) return false;
        if (!Status(&flags)) return false;
        if (flags & NETCON_DATA_WAITING) return true;
        if (pumpMessages) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    PostQuitMessage(static_cast<int>(msg.wParam));
                    return false;
                }
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Sleep(pollMs);
    }
    return false;
}

bool CNetConDll::WaitData(DWORD timeoutMs) { return WaitStatus(false, timeoutMs, 1); }
