#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/make_shared.hpp>

#include "Base/PostTask.h"
#include "Base/SFEvent.h"
#include "Base/SFMessageLoop.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/SFThreadEx_Qt.h"
#include "Base/SFThreadHandle.h"
#include "Base/TaskTrace.h"
#include "Base/WorkerLoops.h"

using namespace LumivexBase;
using SF_SOFT_BASE::CSFEvent;

namespace {

constexpr int kTestLoop = 40;

// Records what ran, where, and in which order.
class Recorder : public boost::enable_shared_from_this<Recorder> {
public:
    void Task_Record(int value)
    {
        std::lock_guard<std::mutex> lock(mutex);
        values.push_back(value);
        threads.push_back(SF_SOFT_BASE::CurrentThreadId());
    }
    void Task_Signal(CSFEvent* event) { event->Set(); }
    void Task_PostAnother(int value)
    {
        Task_Record(value);
        SF_POST_TASK(kTestLoop, &Recorder::Task_Record, shared_from_this(), value + 1000);
    }
    void Task_Block(CSFEvent* started, CSFEvent* release)
    {
        started->Set();
        release->Wait(CSFEvent::kInfinite);
    }

    std::mutex mutex;
    std::vector<int> values;
    std::vector<std::uint32_t> threads;
};

class Lifetime {
public:
    explicit Lifetime(std::atomic<int>* destroyed) : m_destroyed(destroyed) {}
    ~Lifetime() { m_destroyed->fetch_add(1); }
    void Task_Check(std::atomic<int>* destroyedWhileRunning)
    {
        destroyedWhileRunning->store(m_destroyed->load());
    }

private:
    std::atomic<int>* m_destroyed;
};

class TaskLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartWorkerLoop(kTestLoop));
        loop = CSFMessageLoopManager::GetInstance()->GetMessageLoop(kTestLoop);
        ASSERT_TRUE(loop);
    }
    void TearDown() override { CSFMessageLoopManager::GetInstance()->ExitMessageLoops(); }

    // Waits until every task posted so far has run.
    void Drain()
    {
        CSFEvent done;
        done.Create(0, 1);
        auto marker = boost::make_shared<Recorder>();
        ASSERT_TRUE(SF_POST_TASK(kTestLoop, &Recorder::Task_Signal, marker, &done));
        ASSERT_EQ(done.Wait(10000), 0);
    }

    // Holds the worker in a task until release is set.
    void BlockWorker(const boost::shared_ptr<Recorder>& recorder, CSFEvent& started, CSFEvent& release)
    {
        started.Create(0, 1);
        release.Create(0, 1);
        SF_POST_TASK(kTestLoop, &Recorder::Task_Block, recorder, &started, &release);
        ASSERT_EQ(started.Wait(10000), 0);
    }

    boost::shared_ptr<CSFMessageLoop> loop;
};

}  // namespace

TEST_F(TaskLoopTest, TasksFromSeveralThreadsRunInPostingOrderOnTheLoopThread)
{
    auto recorder = boost::make_shared<Recorder>();
    constexpr int kThreads = 4;
    constexpr int kPerThread = 500;
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t)
        posters.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i)
                SF_POST_TASK(kTestLoop, &Recorder::Task_Record, recorder, t * kPerThread + i);
        });
    for (auto& p : posters)
        p.join();
    Drain();

    ASSERT_EQ(recorder->values.size(), std::size_t(kThreads * kPerThread));
    std::vector<int> last(kThreads, -1);
    for (int v : recorder->values) {
        int t = v / kPerThread;
        EXPECT_GT(v, last[t]) << "tasks of one poster ran out of order";
        last[t] = v;
    }
    for (auto id : recorder->threads)
        EXPECT_EQ(id, loop->GetThreadId());
    EXPECT_NE(loop->GetThreadId(), SF_SOFT_BASE::CurrentThreadId());
}

TEST_F(TaskLoopTest, TaskPostedByARunningTaskRunsAfterThoseAlreadyQueued)
{
    auto recorder = boost::make_shared<Recorder>();
    CSFEvent started, release;
    ASSERT_NO_FATAL_FAILURE(BlockWorker(recorder, started, release));
    SF_POST_TASK(kTestLoop, &Recorder::Task_PostAnother, recorder, 1);
    SF_POST_TASK(kTestLoop, &Recorder::Task_Record, recorder, 2);
    release.Set();
    Drain();
    Drain();
    EXPECT_EQ(recorder->values, (std::vector<int>{1, 2, 1001}));
}

TEST_F(TaskLoopTest, TargetLivesUntilItsTaskRanAndIsFreedRightAfter)
{
    std::atomic<int> destroyed{0};
    std::atomic<int> seenWhileRunning{-1};
    auto target = boost::make_shared<Lifetime>(&destroyed);
    SF_POST_TASK(kTestLoop, &Lifetime::Task_Check, target, &seenWhileRunning);
    target.reset();  // the queued task holds the only reference now
    Drain();
    EXPECT_EQ(seenWhileRunning.load(), 0);
    EXPECT_EQ(destroyed.load(), 1);
}

TEST_F(TaskLoopTest, IdleWorkerWakesOnTheNextPost)
{
    auto recorder = boost::make_shared<Recorder>();
    // Long enough for the worker to pass its 5 ms sleep and block on its event.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto start = std::chrono::steady_clock::now();
    SF_POST_TASK(kTestLoop, &Recorder::Task_Record, recorder, 5);
    Drain();
    EXPECT_EQ(recorder->values, std::vector<int>{5});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(TaskLoopTest, StopEndsTheWorkerAndLeavesQueuedTasksUnrun)
{
    auto recorder = boost::make_shared<Recorder>();
    CSFEvent started, release;
    ASSERT_NO_FATAL_FAILURE(BlockWorker(recorder, started, release));
    SF_POST_TASK(kTestLoop, &Recorder::Task_Record, recorder, 9);
    loop->GetControl()->Stop();
    release.Set();
    loop->WaitForExit();  // returns: the thread has ended
    EXPECT_TRUE(recorder->values.empty());
}

TEST_F(TaskLoopTest, ExitMessageLoopsJoinsWorkersAndEmptiesTheRegistry)
{
    auto recorder = boost::make_shared<Recorder>();
    SF_POST_TASK(kTestLoop, &Recorder::Task_Record, recorder, 1);
    Drain();
    CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    EXPECT_FALSE(CSFMessageLoopManager::GetInstance()->GetMessageLoop(kTestLoop));
    EXPECT_FALSE(SF_POST_TASK(kTestLoop, &Recorder::Task_Record, recorder, 2));
    EXPECT_EQ(recorder->values, std::vector<int>{1});
}

TEST(LoopRegistryTest, ReplacedLoopGetsNoMorePostsAndUnknownIdsAreEmpty)
{
    auto manager = CSFMessageLoopManager::GetInstance();
    auto a = CSFMessageLoop::Create(5000);  // no driver: tasks just queue
    auto b = CSFMessageLoop::Create(5000);
    EXPECT_FALSE(a->GetControl());
    manager->RegisterMessageLoop(a, 41);
    manager->RegisterMessageLoop(b, 41);
    EXPECT_EQ(manager->GetMessageLoop(41), b);
    EXPECT_FALSE(manager->GetMessageLoop(ML_TEST));

    auto recorder = boost::make_shared<Recorder>();
    SF_POST_TASK(41, &Recorder::Task_Record, recorder, 3);
    EXPECT_EQ(a->RunFirstQueue(), 0);
    EXPECT_EQ(b->RunFirstQueue(), 1);
    EXPECT_EQ(recorder->values, std::vector<int>{3});
    manager->ExitMessageLoops();
}

TEST(LoopRegistryTest, PostToAnUnregisteredLoopIsDropped)
{
    std::atomic<int> destroyed{0};
    std::atomic<int> seen{-1};
    auto target = boost::make_shared<Lifetime>(&destroyed);
    EXPECT_FALSE(SF_POST_TASK(77, &Lifetime::Task_Check, target, &seen));
    target.reset();
    EXPECT_EQ(destroyed.load(), 1);  // the dropped task released its target
    EXPECT_EQ(seen.load(), -1);
}

TEST(LoopRegistryTest, WorkerThatCannotBeCreatedReportsFailure)
{
    auto thread = CSFThreadEx_Qt::Create({CSFMessageLoop::kWorkerLoop, 1});
    EXPECT_EQ(thread->Start(), -1);
    EXPECT_FALSE(StartWorkerLoop(42, 1));
    EXPECT_FALSE(CSFMessageLoopManager::GetInstance()->GetMessageLoop(42));
}

TEST(LoopRegistryTest, StartReturnsAfterTheThreadBeganAndCheckLoopThreadSeesIt)
{
    auto thread = CSFThreadEx_Qt::Create({CSFMessageLoop::kWorkerLoop, 0});
    ASSERT_EQ(thread->Start(), 0);
    auto loop = thread->GetMessageLoop();
    EXPECT_NE(loop->GetThreadId(), 0u);
    CSFMessageLoopManager::GetInstance()->RegisterMessageLoop(loop, 43);
    EXPECT_FALSE(CheckLoopThread(43, "test", "fuction used In wrong Thread!"));

    std::atomic<bool> onLoop{false};
    CSFEvent done;
    done.Create(0, 1);
    auto task = MakeTask<int>(
        [&] {
            onLoop = CheckLoopThread(43, "test", "");
            done.Set();
        });
    loop->PostTask(task);
    task.reset();
    ASSERT_EQ(done.Wait(10000), 0);
    EXPECT_TRUE(onLoop.load());
    CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
}

TEST(LoopRegistryTest, LoopsStartedAtOnceEachRunOnAThreadOfTheirOwn)
{
    ASSERT_TRUE(StartWorkerLoops({44, 45, 46}));
    std::vector<unsigned> threads;
    for (int id : {44, 45, 46}) {
        auto loop = CSFMessageLoopManager::GetInstance()->GetMessageLoop(id);
        ASSERT_TRUE(loop) << id;
        std::atomic<bool> onLoop{false};
        CSFEvent done;
        done.Create(0, 1);
        loop->PostTask(MakeTask<int>([&] {
            onLoop = CheckLoopThread(id, "test", "");
            done.Set();
        }));
        ASSERT_EQ(done.Wait(10000), 0);
        EXPECT_TRUE(onLoop.load()) << id;
        threads.push_back(loop->GetThreadId());
    }
    EXPECT_NE(threads[0], threads[1]);
    EXPECT_NE(threads[1], threads[2]);
    EXPECT_NE(threads[0], threads[2]);
    CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    EXPECT_FALSE(StartWorkerLoops({47, 48}, 1));  // no thread with a one-byte stack
    EXPECT_FALSE(CSFMessageLoopManager::GetInstance()->GetMessageLoop(47));
}

TEST(LoopRegistryTest, StoppingRightAfterStartNeverHangs)
{
    for (int round = 0; round < 300; ++round) {
        auto thread = CSFThreadEx_Qt::Create({CSFMessageLoop::kWorkerLoop, 0});
        ASSERT_EQ(thread->Start(), 0);
        // Stop lands at any point of the worker's first idle pass.
        if (round % 3 == 1)
            std::this_thread::sleep_for(std::chrono::microseconds(round * 10));
        thread->GetMessageLoop()->WaitForExit();
    }
}

TEST(TaskQueueTest, EmptyTaskPointerIsIgnored)
{
    auto loop = CSFMessageLoop::Create(5000);
    loop->PostTask(nullptr);
    EXPECT_TRUE(loop->IsEmpty());
    EXPECT_EQ(loop->RunFirstQueue(), 0);
}

TEST(TaskQueueTest, QueuedTasksAreReleasedUnrunWhenTheLoopGoes)
{
    std::atomic<int> destroyed{0};
    std::atomic<int> seen{-1};
    {
        auto loop = CSFMessageLoop::Create(5000);
        auto target = boost::make_shared<Lifetime>(&destroyed);
        loop->PostTask(MakeTask(&Lifetime::Task_Check, target, &seen));
        EXPECT_FALSE(loop->IsEmpty());
    }
    EXPECT_EQ(destroyed.load(), 1);
    EXPECT_EQ(seen.load(), -1);
}
