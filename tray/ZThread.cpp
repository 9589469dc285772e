#include "ZThread.h"

#include <process.h>

#include "DebugTrace.h"

namespace zwin {

namespace {

// Removes every waiting message; a quit message is posted again and ends the pass.
template <typename Filter>
bool PumpWaiting(Filter claimed, HANDLE stopWhenSignalled, bool* signalled)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (!claimed(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (stopWhenSignalled && WaitForSingleObject(stopWhenSignalled, 0) == WAIT_OBJECT_0) {
            *signalled = true;
            return true;
        }
    }
    return true;
}

template <typename Filter>
bool WaitPumping(HANDLE handle, DWORD timeoutMs, Filter claimed)
{
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return false;
        bool signalled = false;
        if (!PumpWaiting(claimed, handle, &signalled)) return false;
        if (signalled) return true;
    }
}

}  // namespace

CZThread::CZThread(ThreadProcFn proc, void* argument) : proc_(proc), argument_(argument)
{
    InitializeCriticalSection(&section_);
}

CZThread::~CZThread()
{
    CZThread::Stop(INFINITE, false);
    DeleteCriticalSection(&section_);
}

bool CZThread::PreTranslateMessage(MSG*) { return false; }

bool CZThread::IsRunning() const
{
    return thread_.load() != INVALID_HANDLE_VALUE && !stop_.load();
}

void CZThread::RequestStop()
{
    if (thread_.load() == INVALID_HANDLE_VALUE || stop_.load()) return;
    EnterCriticalSection(&section_);
    stop_ = true;
    LeaveCriticalSection(&section_);
}

bool CZThread::SignalStarted()
{
    if (!started_) return false;
    Sleep(0);
    return SetEvent(started_.Get()) != FALSE;
}

void CZThread::CloseHandles()
{
    started_.Reset();
    HANDLE thread = thread_.exchange(INVALID_HANDLE_VALUE);
    if (thread != INVALID_HANDLE_VALUE) CloseHandle(thread);
    threadId_ = 0;
}

bool CZThread::WaitHandle(HANDLE handle, DWORD timeoutMs)
{
    return WaitForSingleObject(handle, timeoutMs) == WAIT_OBJECT_0;
}

bool CZThread::WaitHandlePumping(HANDLE handle, DWORD timeoutMs)
{
    return WaitPumping(handle, timeoutMs, [this](MSG* m) { return PreTranslateMessage(m); });
}

bool CZThread::Start(DWORD timeoutMs, bool pumpMessages)
{
    Stop(INFINITE, false);
    stop_ = false;
    started_.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!started_) return false;
    // Created suspended, so the new thread sees its handle stored from its first step.
    unsigned id = 0;
    uintptr_t created = _beginthreadex(nullptr, 0, proc_, argument_, CREATE_SUSPENDED, &id);
    if (created == 0) {
        started_.Reset();
        return false;
    }
    HANDLE thread = reinterpret_cast<HANDLE>(created);
    threadId_ = id;
    thread_ = thread;
    ResumeThread(thread);

    HANDLE both[2] = {thread, started_.Get()};
    if (!pumpMessages) {
        return WaitForMultipleObjects(2, both, FALSE, timeoutMs) == WAIT_OBJECT_0 + 1;
    }
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(2, both, FALSE, timeoutMs, QS_ALLINPUT);
        if (r != WAIT_OBJECT_0 + 2) return r == WAIT_OBJECT_0 + 1;
        bool unused = false;
        if (!PumpWaiting([this](MSG* m) { return PreTranslateMessage(m); }, nullptr, &unused))
            return false;
    }
}

bool CZThread::Stop(DWORD timeoutMs, bool pumpMessages)
{
    HANDLE thread = thread_.load();
    if (thread == INVALID_HANDLE_VALUE) return true;
    RequestStop();
    bool ended = pumpMessages ? WaitHandlePumping(thread, timeoutMs) : WaitHandle(thread, timeoutMs);
    if (ended) CloseHandles();
    return ended;
}

CZThreadEx::CZThreadEx() : CZThread(&CZThreadEx::ThreadProc, this) {}

CZThreadEx::~CZThreadEx() { Stop(INFINITE, false); }

unsigned __stdcall CZThreadEx::ThreadProc(void* self)
{
    CZThreadEx* t = static_cast<CZThreadEx*>(self);
    int r = -1;
    try {
        r = t->OnInit();
        if (r >= 0) {
            t->SignalStarted();
            r = t->Run();
            int e = t->OnExit();
            if (r >= 0) r = e;
        }
    } catch (...) {
        r = -1;
    }
    t->RequestStop();
    return static_cast<unsigned>(r);
}

CZTimerThread::CZTimerThread(CZTimerCallback* callback, DWORD intervalMs)
    : CZThread(&CZTimerThread::ThreadProc, this), interval_(intervalMs), callback_(callback)
{
}

CZTimerThread::~CZTimerThread()
{
    CZTimerThread::Stop(INFINITE, false);
    HANDLE pause = pause_.exchange(INVALID_HANDLE_VALUE);
    if (pause != INVALID_HANDLE_VALUE) CloseHandle(pause);
}

bool CZTimerThread::Stop(DWORD timeoutMs, bool pumpMessages)
{
    RequestStop();
    Resume();
    return CZThread::Stop(timeoutMs, pumpMessages);
}

void CZTimerThread::SetCallback(CZTimerCallback* callback) { callback_ = callback; }

bool CZTimerThread::HasCallback() const { return callback_.load() != nullptr; }

bool CZTimerThread::StartTimer(bool running, DWORD timeoutMs, bool pumpMessages)
{
    Stop(INFINITE, false);
    running_ = running;
    return Start(timeoutMs, pumpMessages);
}

bool CZTimerThread::Pause()
{
    EnterCriticalSection(&Section());
    HANDLE pause = pause_.load();
    bool ok = pause == INVALID_HANDLE_VALUE || ResetEvent(pause);
    LeaveCriticalSection(&Section());
    return ok;
}

bool CZTimerThread::Resume()
{
    EnterCriticalSection(&Section());
    HANDLE pause = pause_.load();
    bool ok = pause == INVALID_HANDLE_VALUE || SetEvent(pause);
    LeaveCriticalSection(&Section());
    return ok;
}

int CZTimerThread::OnStartStop(bool) { return 0; }

unsigned __stdcall CZTimerThread::ThreadProc(void* self)
{
    try {
        return static_cast<CZTimerThread*>(self)->Loop();
    } catch (...) {
        static_cast<CZTimerThread*>(self)->RequestStop();
        return static_cast<unsigned>(E_FAIL);
    }
}

unsigned CZTimerThread::Loop()
{
    int r = OnStartStop(true);
    if (r < 0) {
        RequestStop();
        return static_cast<unsigned>(r);
    }
    HANDLE pause = CreateEventA(nullptr, TRUE, running_ ? TRUE : FALSE, nullptr);
    if (!pause) {
        int code = static_cast<int>(GetLastError());
        if (code >= 0) code = static_cast<int>(E_FAIL);
        DebugInfo("ERROR(0x%x) threadTimer: Create event", static_cast<unsigned>(code));
        RequestStop();
        return static_cast<unsigned>(code);
    }
    EnterCriticalSection(&Section());
    pause_ = pause;
    LeaveCriticalSection(&Section());

    SignalStarted();
    DWORD last = GetTickCount();
    const DWORD sleepMs = interval_ < 2 ? interval_ : interval_ / 2;
    while (IsRunning()) {
        if (WaitForSingleObject(pause, INFINITE) != WAIT_OBJECT_0) continue;
        if (GetTickCount() - last >= interval_) {
            last = GetTickCount();
            if (CZTimerCallback* callback = callback_.load()) callback->OnTimer();
        }
        if (IsRunning()) Sleep(sleepMs);
    }

    EnterCriticalSection(&Section());
    pause_ = INVALID_HANDLE_VALUE;
    CloseHandle(pause);
    LeaveCriticalSection(&Section());
    OnStartStop(false);
    RequestStop();
    return 0;
}

bool WaitForObjectPumping(HANDLE handle, DWORD timeoutMs)
{
    return WaitPumping(handle, timeoutMs, [](MSG*) { return false; });
}

}  // namespace zwin
