// Worker threads with a start handshake and a cooperative stop request.
// Time-outs are in milliseconds; INFINITE means no limit.
#pragma once

#include <windows.h>

#include <atomic>

#include "UniqueHandle.h"

namespace zwin {

class CZThread {
public:
    typedef unsigned(__stdcall* ThreadProcFn)(void* argument);

    CZThread(ThreadProcFn proc, void* argument);
    CZThread(const CZThread&) = delete;
    CZThread& operator=(const CZThread&) = delete;

    // Stops a thread of this object first, then starts a new one and waits for
    // its started signal. False when the thread ended first or the time-out passed
    // (then it runs on and stays this object's thread).
    virtual bool Start(DWORD timeoutMs, bool pumpMessages);
    // Requests the stop and waits for the thread's end. After a time-out the
    // result is false and the thread stays this object's thread, so a later Stop
    // (or the destructor) waits for it again.
    virtual bool Stop(DWORD timeoutMs, bool pumpMessages);
    virtual ~CZThread();
    // True claims the message: the pumping waits neither translate nor dispatch it.
    virtual bool PreTranslateMessage(MSG* message);

    bool IsRunning() const;
    void RequestStop();
    bool SignalStarted();
    void CloseHandles();
    bool WaitHandle(HANDLE handle, DWORD timeoutMs);
    bool WaitHandlePumping(HANDLE handle, DWORD timeoutMs);

protected:
    CRITICAL_SECTION& Section() { return section_; }

private:
    ThreadProcFn proc_;
    void* argument_;
    std::atomic<HANDLE> thread_{INVALID_HANDLE_VALUE};
    DWORD threadId_ = 0;
    CRITICAL_SECTION section_;
    std::atomic<bool> stop_{false};
    UniqueKernelHandle started_;
};

// A thread that runs the object's own hooks. A derived class that holds data of
// its own calls Stop(INFINITE, false) in its destructor, so its thread has ended
// before that data goes.
class CZThreadEx : public CZThread {
public:
    CZThreadEx();
    ~CZThreadEx() override;

    // A negative result ends the thread without the started signal.
    virtual int OnInit() { return 0; }
    virtual int Run() = 0;
    virtual int OnExit() { return 0; }

private:
    static unsigned __stdcall ThreadProc(void* self);
};

// What a timer thread calls each interval.
class CZTimerCallback {
public:
    virtual void OnTimer() = 0;

protected:
    ~CZTimerCallback() = default;
};

class CZTimerThread : public CZThread {
public:
    CZTimerThread(CZTimerCallback* callback, DWORD intervalMs);
    ~CZTimerThread() override;

    bool Stop(DWORD timeoutMs, bool pumpMessages) override;
    virtual void SetCallback(CZTimerCallback* callback);
    virtual bool HasCallback() const;
    // running false starts the timer paused.
    virtual bool StartTimer(bool running, DWORD timeoutMs, bool pumpMessages);
    virtual bool Pause();
    virtual bool Resume();
    // Called with true before the timer loop (negative fails the start) and false after it.
    virtual int OnStartStop(bool starting);

private:
    static unsigned __stdcall ThreadProc(void* self);
    unsigned Loop();

    std::atomic<HANDLE> pause_{INVALID_HANDLE_VALUE};
    DWORD interval_;
    std::atomic<CZTimerCallback*> callback_;
    bool running_ = true;
};

// Waits for the handle while dispatching the calling thread's messages; a quit
// message is posted again and ends the wait with false.
bool WaitForObjectPumping(HANDLE handle, DWORD timeoutMs);

}  // namespace zwin
