#include "ZLock.h"

#include "SysFileUtil.h"

#include <utility>

namespace zwin {

const std::string CannotLockText = "cannot lock";

namespace {

bool IsNtFamily()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace

CZCritSect::CZCritSect() : nt_(IsNtFamily()) { InitializeCriticalSection(&section_); }

CZCritSect::CZCritSect(const CZCritSect&) : CZLock(), nt_(IsNtFamily())
{
    InitializeCriticalSection(&section_);
}

CZCritSect::~CZCritSect() { DeleteCriticalSection(&section_); }

bool CZCritSect::Lock(DWORD timeoutMs)
{
    if (!nt_) {
        EnterCriticalSection(&section_);
        return true;
    }
    for (DWORD attempt = 0; timeoutMs == INFINITE || attempt < timeoutMs; ++attempt) {
        if (TryEnterCriticalSection(&section_)) return true;
        Sleep(1);
    }
    return false;
}

void CZCritSect::Unlock() { LeaveCriticalSection(&section_); }

CZSemaphore::CZSemaphore() : CZSemaphore(1, 1, nullptr, nullptr) {}

CZSemaphore::CZSemaphore(LONG initialCount, LONG maximumCount, const char* name,
                         SECURITY_ATTRIBUTES* security)
    : handle_(CreateSemaphoreA(security, initialCount, maximumCount, name))
{
}

CZSemaphore::~CZSemaphore() = default;

bool CZSemaphore::Lock(DWORD timeoutMs)
{
    return handle_ && WaitForSingleObject(handle_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

void CZSemaphore::Unlock()
{
    if (handle_) ReleaseSemaphore(handle_.Get(), 1, nullptr);
}

CZSmartLock::CZSmartLock(CZLock* lock, bool lockNow) : lock_(lock)
{
    if (lockNow && lock_) LockOrThrow();
}

CZSmartLock::CZSmartLock(const CZSmartLock& other) : CZLock(), lock_(other.lock_)
{
    if (other.held_) LockOrThrow();
}

CZSmartLock& CZSmartLock::operator=(const CZSmartLock& other)
{
    if (this == &other) return *this;
    if (lock_ != other.lock_) {
        Unlock();
        lock_ = other.lock_;
    }
    if (other.held_ && !held_) LockOrThrow();
    else if (!other.held_) Unlock();
    return *this;
}

CZSmartLock::~CZSmartLock() { Unlock(); }

void CZSmartLock::LockOrThrow()
{
    if (!Lock(INFINITE)) throw zbase::Error(CannotLockText, 0);
}

bool CZSmartLock::Lock(DWORD timeoutMs)
{
    if (!lock_) return false;
    if (!held_) held_ = lock_->Lock(timeoutMs);
    return held_;
}

void CZSmartLock::Unlock()
{
    if (!held_) return;
    lock_->Unlock();
    held_ = false;
}

CZFileLock::~CZFileLock() { Unlock(); }

HRESULT CZFileLock::LockShared(const std::string& name, DWORD timeoutMs)
{
    return Lock(name, FILE_SHARE_READ, timeoutMs);
}

HRESULT CZFileLock::LockExclusive(const std::string& name, DWORD timeoutMs)
{
    return Lock(name, 0, timeoutMs);
}

HRESULT CZFileLock::Lock(const std::string& name, DWORD shareMode, DWORD timeoutMs)
{
    Unlock();
    DWORD begin = GetTickCount();
    std::string path = name + ".lck";
    for (;;) {
        UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, shareMode, nullptr,
                                          OPEN_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file) {
            file_ = std::move(file);
            path_ = path;
            return S_OK;
        }
        DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)
            return HResultFromWin32(static_cast<int32_t>(error));
        if (timeoutMs != INFINITE && GetTickCount() - begin > timeoutMs) return E_ABORT;
        Sleep(100);
    }
}

void CZFileLock::Unlock()
{
    if (!file_) return;
    file_.Reset();
    DeleteFileA(path_.c_str());
    path_.clear();
}

}  // namespace zwin
