// Locks with a time-out, a scoped hold of any of them, and a lock file.
#pragma once

#include <windows.h>

#include <string>

#include "UniqueHandle.h"

namespace zbase {

class Error {
public:
    Error(const std::string& message, int code) : message_(message), code_(code) {}
    Error(const Error&) = default;
    ~Error() = default;
    const std::string& Message() const { return message_; }
    int Code() const { return code_; }

private:
    std::string message_;
    int code_;
};

}  // namespace zbase

namespace zwin {

// The message of the error a scoped lock throws when it cannot lock: "cannot lock".
extern const std::string CannotLockText;

class CZLock {
public:
    virtual bool Lock(DWORD timeoutMs) = 0;
    virtual void Unlock() = 0;
    virtual bool IsValid() = 0;

protected:
    ~CZLock() = default;
};

// Recursive for the holding thread. On the NT family a time-out of 0 makes no
// attempt; other time-outs try once a millisecond.
class CZCritSect : public CZLock {
public:
    CZCritSect();
    CZCritSect(const CZCritSect& ignored);
    CZCritSect& operator=(const CZCritSect&) { return *this; }
    virtual ~CZCritSect();

    bool Lock(DWORD timeoutMs) override;
    void Unlock() override;
    bool IsValid() override { return true; }

private:
    CRITICAL_SECTION section_;
    bool nt_ = false;
};

class CZSemaphore : public CZLock {
public:
    CZSemaphore();
    CZSemaphore(LONG initialCount, LONG maximumCount, const char* name,
                SECURITY_ATTRIBUTES* security);
    CZSemaphore(const CZSemaphore&) = delete;
    CZSemaphore& operator=(const CZSemaphore&) { return *this; }
    virtual ~CZSemaphore();

    bool Lock(DWORD timeoutMs) override;
    void Unlock() override;
    bool IsValid() override { return static_cast<bool>(handle_); }

private:
    UniqueKernelHandle handle_;
};

// Holds another lock (not owned) for its own lifetime or between Lock and Unlock.
class CZSmartLock : public CZLock {
public:
    // Throws zbase::Error(CannotLockText, 0) when lockNow cannot lock.
    CZSmartLock(CZLock* lock, bool lockNow);
    CZSmartLock(const CZSmartLock& other);
    CZSmartLock& operator=(const CZSmartLock& other);
    virtual ~CZSmartLock();

    bool Lock(DWORD timeoutMs) override;
    void Unlock() override;
    bool IsValid() override { return lock_ != nullptr && lock_->IsValid(); }
    bool IsLocked() const { return held_; }

private:
    void LockOrThrow();

    CZLock* lock_;
    bool held_ = false;
};

// A lock between processes: the file name + ".lck" held open, shared or alone.
// Results are HRESULTs: 0 locked, E_ABORT after the time-out, else the file error.
class CZFileLock {
public:
    CZFileLock() = default;
    CZFileLock(const CZFileLock&) = delete;
    CZFileLock& operator=(const CZFileLock&) = delete;
    ~CZFileLock();

    HRESULT LockShared(const std::string& name, DWORD timeoutMs);
    HRESULT LockExclusive(const std::string& name, DWORD timeoutMs);
    HRESULT Lock(const std::string& name, DWORD shareMode, DWORD timeoutMs);
    // Closes the file and deletes it (which fails while another holder has it open).
    void Unlock();

private:
    UniqueFileHandle file_;
    std::string path_;
};

}  // namespace zwin
