#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "Base/SFAutoMutexLock.h"
#include "Base/SFEvent.h"
#include "Base/SFMutex.h"
#include "Base/SFSignalStack.h"
#include "Base/SFThread.h"

using namespace SF_SOFT_BASE;

namespace {

bool HeldByAnotherThread(CSFMutex& mutex)
{
    int entered = 0;
    std::thread probe([&] {
        entered = mutex.TryLock();
        if (entered)
            mutex.Unlock();
    });
    probe.join();
    return entered == 0;
}

}  // namespace

TEST(MutexTest, IsRecursiveAndTryLockSeesOtherOwners)
{
    CSFMutex mutex;
    mutex.Lock();
    EXPECT_NE(mutex.TryLock(), 0);  // same thread enters again
    mutex.Unlock();
    EXPECT_TRUE(HeldByAnotherThread(mutex));
    mutex.Unlock();
    EXPECT_FALSE(HeldByAnotherThread(mutex));
}

TEST(MutexTest, AutoLockReleasesEarlyAndRelocks)
{
    CSFMutex mutex;
    {
        CSFAutoMutexLock lock(&mutex);
        EXPECT_TRUE(HeldByAnotherThread(mutex));
        lock.Unlock();
        EXPECT_FALSE(HeldByAnotherThread(mutex));
    }
    EXPECT_FALSE(HeldByAnotherThread(mutex));  // the destructor did not unlock twice
    {
        CSFAutoMutexLock lock(&mutex);
        lock.Unlock();
        lock.Lock();
        EXPECT_TRUE(HeldByAnotherThread(mutex));
    }
    EXPECT_FALSE(HeldByAnotherThread(mutex));
}

TEST(EventTest, NotCreatedResults)
{
    CSFEvent event;
    EXPECT_EQ(event.Wait(10), -1);
    EXPECT_EQ(event.Set(), 0);
}

TEST(EventTest, TimesOutWithCode258)
{
    CSFEvent event;
    ASSERT_EQ(event.Create(0, 1), 1);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(event.Wait(30), 258);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

TEST(EventTest, ManualResetStaysSignalledUntilReset)
{
    CSFEvent event;
    event.Create(0, 1);
    event.Set();
    EXPECT_EQ(event.Wait(0), 0);
    EXPECT_EQ(event.Wait(0), 0);
    event.Reset();
    EXPECT_EQ(event.Wait(0), 258);
}

TEST(EventTest, AutoResetReleasesOneWait)
{
    CSFEvent event;
    event.Create(1, 0);
    EXPECT_EQ(event.Wait(0), 0);
    EXPECT_EQ(event.Wait(0), 258);
}

TEST(EventTest, SetFromAnotherThreadWakesWaiter)
{
    CSFEvent event;
    event.Create(0, 1);
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        event.Set();
    });
    EXPECT_EQ(event.Wait(CSFEvent::kInfinite), 0);
    setter.join();
}

TEST(EventTest, WaiterMayDestroyTheEventAsSoonAsItWakes)
{
    std::vector<std::thread> setters;
    for (int round = 0; round < 200; ++round) {
        auto event = std::make_unique<CSFEvent>();
        event->Create(0, round % 2);
        CSFEvent* raw = event.get();
        setters.emplace_back([raw] { raw->Set(); });
        ASSERT_EQ(event->Wait(10000), 0);
        event.reset();  // the setter may still be inside Set
    }
    for (auto& setter : setters)
        setter.join();
}

TEST(EventTest, CloseReleasesWaiterWithNotCreated)
{
    CSFEvent event;
    event.Create(0, 1);
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        event.Close();
    });
    EXPECT_EQ(event.Wait(CSFEvent::kInfinite), -1);
    closer.join();
}

namespace {

std::atomic<int> g_release{0};

std::uint32_t WaitForRelease(void* counter)
{
    while (g_release.load() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    static_cast<std::atomic<int>*>(counter)->fetch_add(1);
    return 7;
}

}  // namespace

TEST(ThreadTest, CreateWaitAndStateLifecycle)
{
    g_release = 0;
    std::atomic<int> runs{0};
    CSFThread thread;
    std::uint32_t id = 0;
    ASSERT_EQ(thread.Create(0, &WaitForRelease, &runs, 0, &id), 1);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(thread.IsRunning(), 1);
    // A second Create leaves the running thread alone.
    EXPECT_EQ(thread.Create(0, &WaitForRelease, &runs, 0), 1);
    EXPECT_EQ(thread.Wait(20), 258);
    EXPECT_EQ(thread.IsRunning(), 1);
    g_release = 1;
    EXPECT_EQ(thread.Wait(CSFEvent::kInfinite), 0);
    EXPECT_EQ(thread.IsRunning(), 0);
    EXPECT_EQ(thread.Wait(0), -1);
    EXPECT_EQ(runs.load(), 1);
}

TEST(ThreadTest, UnusableStackSizeFailsCleanly)
{
    std::atomic<int> runs{0};
    CSFThread thread;
    EXPECT_EQ(thread.Create(1, &WaitForRelease, &runs, 0), 0);
    EXPECT_EQ(thread.IsRunning(), 0);
    EXPECT_EQ(runs.load(), 0);
}

namespace {

stack_t CurrentSignalStack()
{
    stack_t current{};
    sigaltstack(nullptr, &current);
    return current;
}

}  // namespace

TEST(SignalStackTest, AThreadWithoutOneGetsOneAndAThreadWithOneKeepsIt)
{
    std::thread bare([] {
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        ASSERT_EQ(0, sigaltstack(&off, nullptr));
        ASSERT_TRUE(SF_SOFT_BASE::SFEnsureSignalStack());
        const stack_t made = CurrentSignalStack();
        EXPECT_FALSE(made.ss_flags & SS_DISABLE);
        EXPECT_GE(made.ss_size, std::size_t(64 * 1024));
        ASSERT_TRUE(SF_SOFT_BASE::SFEnsureSignalStack());
        EXPECT_EQ(made.ss_sp, CurrentSignalStack().ss_sp);
    });
    bare.join();

    std::thread owned([] {
        static char own[128 * 1024];
        stack_t mine{};
        mine.ss_sp = own;
        mine.ss_size = sizeof own;
        stack_t before{};
        ASSERT_EQ(0, sigaltstack(&mine, &before));
        EXPECT_TRUE(SF_SOFT_BASE::SFEnsureSignalStack());
        EXPECT_EQ(static_cast<void*>(own), CurrentSignalStack().ss_sp);
        sigaltstack(&before, nullptr);
    });
    owned.join();
}
