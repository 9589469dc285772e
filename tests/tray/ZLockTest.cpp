// Critical section, semaphore, scoped lock and lock file.
#include <gtest/gtest.h>

#include <thread>

#include "ZLock.h"
#include "testlib.h"

using namespace zwin;

namespace {

// Holds the lock on another thread until released.
class Holder {
public:
    explicit Holder(CZLock& lock) : lock_(lock)
    {
        held_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this] {
            lock_.Lock(INFINITE);
            SetEvent(held_);
            WaitForSingleObject(release_, INFINITE);
            lock_.Unlock();
        });
        WaitForSingleObject(held_, INFINITE);
    }
    ~Holder()
    {
        SetEvent(release_);
        thread_.join();
        CloseHandle(held_);
        CloseHandle(release_);
    }

private:
    CZLock& lock_;
    HANDLE held_, release_;
    std::thread thread_;
};

bool LockFromOtherThread(CZLock& lock, DWORD timeoutMs)
{
    bool got = false;
    std::thread t([&] {
        got = lock.Lock(timeoutMs);
        if (got) lock.Unlock();
    });
    t.join();
    return got;
}

TEST(CZCritSect, TimeOutsCountAttemptsAMillisecondApart)
{
    CZCritSect cs;
    EXPECT_TRUE(cs.IsValid());
    EXPECT_FALSE(cs.Lock(0)) << "no attempt at all";
    ASSERT_TRUE(cs.Lock(1));
    EXPECT_TRUE(cs.Lock(1)) << "recursive for its holder";
    cs.Unlock();
    cs.Unlock();
    {
        Holder holder(cs);
        DWORD begin = GetTickCount();
        EXPECT_FALSE(LockFromOtherThread(cs, 5));
        EXPECT_GE(GetTickCount() - begin, 4u);
        EXPECT_FALSE(cs.Lock(5));
    }
    EXPECT_TRUE(LockFromOtherThread(cs, 5));
    CZCritSect copy(cs);
    copy = cs;
    ASSERT_TRUE(copy.Lock(INFINITE));
    EXPECT_TRUE(LockFromOtherThread(cs, 5)) << "a copy is a section of its own";
    copy.Unlock();
}

TEST(CZSemaphore, CountsAndTimesOut)
{
    CZSemaphore one;
    EXPECT_TRUE(one.IsValid());
    ASSERT_TRUE(one.Lock(0));
    EXPECT_FALSE(one.Lock(0)) << "not recursive";
    EXPECT_FALSE(LockFromOtherThread(one, 20));
    one.Unlock();
    EXPECT_TRUE(LockFromOtherThread(one, 20));

    CZSemaphore two(2, 2, nullptr, nullptr);
    EXPECT_TRUE(two.Lock(0));
    EXPECT_TRUE(two.Lock(0));
    EXPECT_FALSE(two.Lock(0));

    CZSemaphore invalid(2, 1, nullptr, nullptr);
    EXPECT_FALSE(invalid.IsValid());
    EXPECT_FALSE(invalid.Lock(0));
}

TEST(CZSmartLock, HoldsForItsLifetimeOrFromLockToUnlock)
{
    CZCritSect cs;
    {
        CZSmartLock now(&cs, true);
        EXPECT_TRUE(now.IsLocked());
        EXPECT_TRUE(now.IsValid());
        EXPECT_FALSE(LockFromOtherThread(cs, 5));
        CZSmartLock copy(now);
        EXPECT_TRUE(copy.IsLocked());
    }
    EXPECT_TRUE(LockFromOtherThread(cs, 5));

    CZSmartLock later(&cs, false);
    EXPECT_FALSE(later.IsLocked());
    EXPECT_TRUE(LockFromOtherThread(cs, 5));
    EXPECT_TRUE(later.Lock(INFINITE));
    EXPECT_TRUE(later.Lock(INFINITE)) << "held already";
    EXPECT_FALSE(LockFromOtherThread(cs, 5));
    later.Unlock();
    EXPECT_FALSE(later.IsLocked());
    EXPECT_TRUE(LockFromOtherThread(cs, 5));

    CZSmartLock none(nullptr, true);
    EXPECT_FALSE(none.IsValid());
    EXPECT_FALSE(none.Lock(INFINITE));
}

TEST(CZSmartLock, AssignmentTakesTheSourcesLockAndHoldState)
{
    CZCritSect a, b;
    CZSmartLock onA(&a, true);
    CZSmartLock onB(&b, false);
    onA = onB;
    EXPECT_FALSE(onA.IsLocked());
    EXPECT_TRUE(LockFromOtherThread(a, 5)) << "a was released";
    ASSERT_TRUE(onB.Lock(INFINITE));
    onA = onB;
    EXPECT_TRUE(onA.IsLocked());
    onB.Unlock();
    EXPECT_FALSE(LockFromOtherThread(b, 5)) << "onA holds b now";
}

class Refusing : public CZLock {
public:
    bool Lock(DWORD) override { return false; }
    void Unlock() override {}
    bool IsValid() override { return true; }
};

TEST(CZSmartLock, ThrowsWhenItCannotLock)
{
    Refusing refusing;
    try {
        CZSmartLock lock(&refusing, true);
        FAIL() << "no error";
    } catch (const zbase::Error& e) {
        EXPECT_EQ(e.Message(), "cannot lock");
        EXPECT_EQ(e.Code(), 0);
    }
    EXPECT_EQ(CannotLockText, "cannot lock");
}

TEST(CZFileLock, SharedAndExclusiveHolders)
{
    testlib::ScratchDir dir("file lock");
    const std::string name = dir.File("state");
    CZFileLock first, second;
    ASSERT_EQ(first.LockShared(name, 0), S_OK);
    EXPECT_TRUE(testlib::FileExists(name + ".lck"));
    EXPECT_EQ(second.LockShared(name, 0), S_OK);
    second.Unlock();
    EXPECT_TRUE(testlib::FileExists(name + ".lck")) << "still held by the first";

    DWORD begin = GetTickCount();
    EXPECT_EQ(second.LockExclusive(name, 250), E_ABORT);
    EXPECT_GE(GetTickCount() - begin, 250u);
    first.Unlock();
    EXPECT_FALSE(testlib::FileExists(name + ".lck"));
    EXPECT_EQ(second.LockExclusive(name, 0), S_OK);
    EXPECT_EQ(first.LockShared(name, 0), E_ABORT);

    EXPECT_EQ(first.LockShared(dir.File("missing\\folder\\x"), 0),
              static_cast<HRESULT>(0x80070003));
}

}  // namespace
