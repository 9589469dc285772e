// The one owner of a system handle: move-only, closes what it holds in its
// destructor, so no code path can leak a handle or close it twice. The traits
// name the handle type, the value that means "nothing held" and the closer.
#pragma once

#include <windows.h>
#include <winsvc.h>

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }

    // Gives the handle up without closing it.
    Handle Release() noexcept
    {
        Handle handle = handle_;
        handle_ = Traits::Invalid();
        return handle;
    }

    void Reset(Handle handle = Traits::Invalid()) noexcept
    {
        if (handle_ != Traits::Invalid()) Traits::Close(handle_);
        handle_ = handle;
    }

    // For calls that return the handle through a pointer (RegOpenKeyExA and
    // its kind): closes what was held and lends the empty slot.
    Handle* Put() noexcept
    {
        Reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Invalid();
};

// Events, threads, processes, tokens, mutexes: NULL when nothing is held.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

// Files from CreateFileA: INVALID_HANDLE_VALUE when nothing is held.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { CloseHandle(handle); }
};
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { RegCloseKey(handle); }
};
using UniqueRegKey = UniqueHandle<RegKeyTraits>;

struct ServiceHandleTraits {
    using Handle = SC_HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { CloseServiceHandle(handle); }
};
using UniqueServiceHandle = UniqueHandle<ServiceHandleTraits>;

struct LibraryTraits {
    using Handle = HMODULE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { FreeLibrary(handle); }
};
using UniqueLibrary = UniqueHandle<LibraryTraits>;

// Memory the system allocated for the caller (FormatMessageA, security descriptors).
struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { LocalFree(handle); }
};
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;

// Security identifiers from AllocateAndInitializeSid.
struct SidTraits {
    using Handle = PSID;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { FreeSid(handle); }
};
using UniqueSid = UniqueHandle<SidTraits>;

// Folder enumerations from FindFirstFileA.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { FindClose(handle); }
};
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;

// Event-log sources from RegisterEventSourceA.
struct EventSourceTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { DeregisterEventSource(handle); }
};
using UniqueEventSource = UniqueHandle<EventSourceTraits>;
