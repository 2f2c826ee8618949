#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageControl_Qt.h"
#include "Base/SFMessageLoop.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/SFThreadHandle.h"
#include "Base/SFTimer.h"
#include "Base/WorkerLoops.h"
#include "Support/ProcessUntil.h"

using namespace LumivexBase;

namespace {

class Recorder {
public:
    void Task_Record(int value)
    {
        std::lock_guard<std::mutex> lock(mutex);
        values.push_back(value);
        onThread.push_back(SF_SOFT_BASE::CurrentThreadId());
    }
    // Worker side: answers on the GUI loop.
    void Task_Ask(boost::shared_ptr<Recorder> self, int value)
    {
        SF_POST_TASK(ML_MAIN, &Recorder::Task_Record, self, value * 10);
    }

    std::mutex mutex;
    std::vector<int> values;
    std::vector<std::uint32_t> onThread;
};

// Counts events of a kind that arrive at an object.
class EventCounter : public QObject {
public:
    int posted = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) {
            ++posted;
            return true;
        }
        return QObject::event(e);
    }
};

class GuiLoopTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterGuiLoop(); }
    void TearDown() override { CSFMessageLoopManager::GetInstance()->ExitMessageLoops(); }
};

}  // namespace

TEST_F(GuiLoopTest, PostFromAWorkerRunsOnTheGuiThread)
{
    ASSERT_TRUE(StartWorkerLoop(ML_HELPER));
    auto recorder = boost::make_shared<Recorder>();
    for (int i = 1; i <= 20; ++i)
        SF_POST_TASK(ML_HELPER, &Recorder::Task_Ask, recorder, recorder, i);
    ASSERT_TRUE(ProcessUntil([&] {
        std::lock_guard<std::mutex> lock(recorder->mutex);
        return recorder->values.size() == 20;
    }));
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(recorder->values[i], (i + 1) * 10);
        EXPECT_EQ(recorder->onThread[i], SF_SOFT_BASE::CurrentThreadId());
    }
}

TEST_F(GuiLoopTest, QtEventsAreHandledBetweenTasks)
{
    EventCounter counter;
    std::vector<int> eventsSeenByTask;
    auto record = [&] { eventsSeenByTask.push_back(counter.posted); };
    for (int i = 0; i < 100; ++i)
        CSFMessageLoopManager::GetInstance()->GetMessageLoop(ML_MAIN)->PostTask(MakeTask<int>(record));
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    ASSERT_TRUE(ProcessUntil([&] { return eventsSeenByTask.size() == 100; }));
    // The event posted after all the tasks was handled before the queue drained.
    EXPECT_EQ(eventsSeenByTask.back(), 1);
}

TEST_F(GuiLoopTest, IdleLoopWakesOnAPostFromAnotherThread)
{
    auto recorder = boost::make_shared<Recorder>();
    // Idle ticks find nothing and stop the timer.
    ProcessUntil([] { return false; }, 30);
    std::thread poster([&] { SF_POST_TASK(ML_MAIN, &Recorder::Task_Record, recorder, 42); });
    poster.join();
    ASSERT_TRUE(ProcessUntil([&] { return recorder->values.size() == 1; }));
    EXPECT_EQ(recorder->values[0], 42);
}

TEST_F(GuiLoopTest, TasksRunOneAtATimeBetweenOtherEvents)
{
    auto recorder = boost::make_shared<Recorder>();
    for (int i = 0; i < 5; ++i)
        SF_POST_TASK(ML_MAIN, &Recorder::Task_Record, recorder, i);
    // A single pass of the event loop handles at most the pending tick(s), not the whole queue.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    EXPECT_LT(recorder->values.size(), 5u);
    ASSERT_TRUE(ProcessUntil([&] { return recorder->values.size() == 5; }));
    EXPECT_EQ(recorder->values, (std::vector<int>{0, 1, 2, 3, 4}));
}

namespace {

std::atomic<int> g_ticks{0};
std::uintptr_t g_user = 0;

void OnTick(std::int32_t /*id*/, std::uintptr_t user)
{
    g_user = user;
    ++g_ticks;
}

}  // namespace

TEST(TimerTest, CallsBackWithTheUserValueUntilStopped)
{
    CSFTimer timer;
    g_ticks = 0;
    EXPECT_NE(timer.Start(5, &OnTick, 0xABCD), 0);
    EXPECT_TRUE(timer.IsActive());
    ASSERT_TRUE(ProcessUntil([] { return g_ticks.load() >= 3; }));
    EXPECT_EQ(g_user, 0xABCDu);
    timer.Stop();
    timer.Stop();  // stopping a stopped timer does nothing
    EXPECT_FALSE(timer.IsActive());
    int ticks = g_ticks;
    ProcessUntil([] { return false; }, 50);
    EXPECT_EQ(g_ticks.load(), ticks);
}

TEST(TimerTest, SecondStartReplacesTheFirstTimer)
{
    CSFTimer timer;
    g_ticks = 0;
    timer.Start(5, &OnTick, 1);
    timer.Start(5, &OnTick, 2);
    timer.Stop();
    ProcessUntil([] { return false; }, 50);
    EXPECT_EQ(g_ticks.load(), 0);  // no orphaned timer keeps firing
}

TEST(GuiLoopTypeTest, QtLoopHasItsDriverAndOtherTypesNone)
{
    EXPECT_TRUE(CSFMessageLoop::Create(CSFMessageLoop::kQtLoop)->GetControl());
    EXPECT_TRUE(CSFMessageLoop::Create(CSFMessageLoop::kWorkerLoop)->GetControl());
    EXPECT_FALSE(CSFMessageLoop::Create(2)->GetControl());
}
