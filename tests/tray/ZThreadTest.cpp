// Thread start and stop, the start hook, stops that time out, and the timer thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ZThread.h"
#include "testlib.h"

using zwin::CZThreadEx;
using zwin::CZTimerThread;

namespace {

class Event {
public:
    Event() : h_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() { CloseHandle(h_); }
    void Set() { SetEvent(h_); }
    void Reset() { ResetEvent(h_); }
    bool Wait(DWORD ms) { return WaitForSingleObject(h_, ms) == WAIT_OBJECT_0; }
    HANDLE Handle() const { return h_; }

private:
    HANDLE h_;
};

// Each run signals its first pass through the running loop.
class PassThread : public CZThreadEx {
public:
    ~PassThread() override { Stop(INFINITE, false); }
    int Run() override
    {
        ++runs;
        bool first = true;
        while (IsRunning()) {
            if (first) {
                first = false;
                ++passes;
                passed.Set();
            }
            Sleep(1);
        }
        return 0;
    }
    std::atomic<int> runs{0};
    std::atomic<int> passes{0};
    Event passed;
};

TEST(ZThread, AThousandStartsAndStopsEachMakeAPass)
{
    PassThread t;
    for (int round = 0; round < 1000; ++round) {
        t.passed.Reset();
        ASSERT_TRUE(t.Start(5000, false)) << round;
        ASSERT_TRUE(t.IsRunning());
        ASSERT_TRUE(t.passed.Wait(5000)) << "run " << round << " never saw itself running";
        ASSERT_TRUE(t.Stop(5000, false)) << round;
        ASSERT_FALSE(t.IsRunning());
    }
    EXPECT_EQ(t.runs, 1000);
    EXPECT_EQ(t.passes, 1000);
}

TEST(ZThread, StartStopsTheThreadOfTheObjectFirst)
{
    PassThread t;
    ASSERT_TRUE(t.Start(5000, false));
    ASSERT_TRUE(t.passed.Wait(5000));
    t.passed.Reset();
    ASSERT_TRUE(t.Start(5000, false));
    ASSERT_TRUE(t.passed.Wait(5000));
    EXPECT_EQ(t.runs, 2);
    EXPECT_EQ(t.passes, 2);
    EXPECT_TRUE(t.Stop(5000, false));
}

// The start hook returns its result once the test lets it.
class HookThread : public CZThreadEx {
public:
    explicit HookThread(int init) : init_(init) {}
    ~HookThread() override
    {
        initMayEnd.Set();
        Stop(INFINITE, false);
    }
    int OnInit() override
    {
        initMayEnd.Wait(INFINITE);
        return init_;
    }
    int Run() override
    {
        ran = true;
        while (IsRunning()) Sleep(1);
        return 0;
    }
    std::atomic<bool> ran{false};
    Event initMayEnd;

private:
    int init_;
};

TEST(ZThread, ANegativeStartHookFailsTheStart)
{
    HookThread t(-1);
    t.initMayEnd.Set();
    EXPECT_FALSE(t.Start(5000, false));
    EXPECT_FALSE(t.IsRunning()) << "the stop flag is set";
    EXPECT_FALSE(t.ran);
    EXPECT_TRUE(t.Stop(5000, false));
}

TEST(ZThread, AStartThatTimesOutLeavesTheThreadRunning)
{
    HookThread t(0);
    EXPECT_FALSE(t.Start(20, false));
    EXPECT_TRUE(t.IsRunning());
    t.initMayEnd.Set();
    EXPECT_TRUE(testlib::WaitFor([&] { return t.ran.load(); }));
    EXPECT_TRUE(t.Stop(5000, false));
    EXPECT_FALSE(t.IsRunning());
}

TEST(ZThread, StopOnAnIdleObjectSucceedsAtOnce)
{
    PassThread t;
    EXPECT_TRUE(t.Stop(0, false));
    ASSERT_TRUE(t.Start(5000, false));
    EXPECT_TRUE(t.Stop(5000, false));
    EXPECT_TRUE(t.Stop(0, false));
}

// Ignores the stop request until it is let go.
class StubbornThread : public CZThreadEx {
public:
    ~StubbornThread() override { Stop(INFINITE, false); }
    int Run() override
    {
        release.Wait(INFINITE);
        Sleep(50);
        finished = true;
        if (finishedOut) *finishedOut = true;
        return 0;
    }
    Event release;
    std::atomic<bool> finished{false};
    std::atomic<bool>* finishedOut = nullptr;
};

TEST(ZThread, AStopThatTimesOutCanWaitAgain)
{
    StubbornThread t;
    ASSERT_TRUE(t.Start(5000, false));
    EXPECT_FALSE(t.Stop(50, false));
    EXPECT_FALSE(t.IsRunning()) << "the stop was requested";
    EXPECT_FALSE(t.Stop(50, false)) << "the thread is still this object's to wait for";
    t.release.Set();
    EXPECT_TRUE(t.Stop(5000, false));
    EXPECT_TRUE(t.finished);
}

TEST(ZThread, DestructionWaitsForAThreadWhoseStopTimedOut)
{
    std::atomic<bool> finished{false};
    auto* t = new StubbornThread;
    t->finishedOut = &finished;
    ASSERT_TRUE(t->Start(5000, false));
    EXPECT_FALSE(t->Stop(20, false));
    std::thread releaser([t] {
        Sleep(100);
        t->release.Set();
    });
    delete t;
    EXPECT_TRUE(finished) << "the object went only after its thread had ended";
    releaser.join();
}

// Lets its thread go when a pumping wait hands it the message WM_APP.
class PumpThread : public StubbornThread {
public:
    bool PreTranslateMessage(MSG* message) override
    {
        if (message->message != WM_APP) return false;
        ++claimed;
        release.Set();
        return true;
    }
    int claimed = 0;
};

TEST(ZThread, APumpingStopHandsMessagesToTheFilterAndStopsAtQuit)
{
    PumpThread t;
    ASSERT_TRUE(t.Start(5000, false));
    PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
    EXPECT_TRUE(t.Stop(5000, true));
    EXPECT_EQ(t.claimed, 1);

    StubbornThread s;
    ASSERT_TRUE(s.Start(5000, true));
    PostQuitMessage(3);
    EXPECT_FALSE(s.Stop(5000, true));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    s.release.Set();
}

TEST(ZThread, WaitForObjectPumpingSeesTheHandle)
{
    Event e;
    std::thread setter([&e] {
        Sleep(20);
        e.Set();
    });
    PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
    EXPECT_TRUE(zwin::WaitForObjectPumping(e.Handle(), 5000));
    setter.join();
    Event never;
    EXPECT_FALSE(zwin::WaitForObjectPumping(never.Handle(), 20));
}

class Ticks : public zwin::CZTimerCallback {
public:
    void OnTimer() override { ++count; }
    std::atomic<int> count{0};
};

class TimerThread : public CZTimerThread {
public:
    TimerThread(Ticks* ticks, DWORD interval, int startResult = 0)
        : CZTimerThread(ticks, interval), startResult_(startResult)
    {
    }
    ~TimerThread() override { Stop(INFINITE, false); }
    int OnStartStop(bool starting) override
    {
        (starting ? starts : stops)++;
        return startResult_;
    }
    std::atomic<int> starts{0}, stops{0};

private:
    int startResult_;
};

// Pauses its timer from within the tick that reaches pauseAt: the pause is in
// force before the timer thread can begin another tick, however late another
// thread would have seen the count.
class PausingTicks : public Ticks {
public:
    void OnTimer() override
    {
        Ticks::OnTimer();
        if (count == pauseAt) paused = timer->Pause();
    }
    CZTimerThread* timer = nullptr;
    std::atomic<int> pauseAt{0};
    std::atomic<bool> paused{false};
};

TEST(ZTimerThread, TicksPausesResumesAndStops)
{
    PausingTicks ticks;
    TimerThread timer(&ticks, 10);
    ticks.timer = &timer;
    ticks.pauseAt = 3;
    EXPECT_TRUE(timer.HasCallback());
    ASSERT_TRUE(timer.StartTimer(true, 5000, false));
    ASSERT_TRUE(testlib::WaitFor([&] { return ticks.paused.load(); }));
    Sleep(100);
    EXPECT_EQ(ticks.count, 3) << "no tick while paused";
    ticks.paused = false;
    ticks.pauseAt = 6;
    EXPECT_TRUE(timer.Resume());
    ASSERT_TRUE(testlib::WaitFor([&] { return ticks.paused.load(); }));
    EXPECT_EQ(ticks.count, 6);
    DWORD begin = GetTickCount();
    EXPECT_TRUE(timer.Stop(5000, false)) << "a paused timer wakes up to stop";
    EXPECT_LT(GetTickCount() - begin, 1000u);
    EXPECT_EQ(timer.starts, 1);
    EXPECT_EQ(timer.stops, 1);
}

TEST(ZTimerThread, StartsPausedAndWithoutCallback)
{
    Ticks ticks;
    TimerThread timer(&ticks, 5);
    ASSERT_TRUE(timer.StartTimer(false, 5000, false));
    Sleep(60);
    EXPECT_EQ(ticks.count, 0);
    timer.SetCallback(nullptr);
    EXPECT_FALSE(timer.HasCallback());
    EXPECT_TRUE(timer.Resume());
    Sleep(30);
    EXPECT_EQ(ticks.count, 0);
    timer.SetCallback(&ticks);
    EXPECT_TRUE(testlib::WaitFor([&] { return ticks.count >= 1; }));
}

TEST(ZTimerThread, ANegativeStartHookFailsTheStart)
{
    Ticks ticks;
    TimerThread timer(&ticks, 5, -2);
    EXPECT_FALSE(timer.StartTimer(true, 5000, false));
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(timer.stops, 0);
    EXPECT_EQ(ticks.count, 0);
}

}  // namespace
