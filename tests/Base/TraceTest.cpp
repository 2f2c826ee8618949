#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/SFConcreteTask.h"
#include "Base/TaskTrace.h"

using namespace LumivexBase;

namespace {

struct Target {
    void Task_Nothing() {}
};

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetTaskTraceSink([this](const std::string& line) { lines.push_back(line); });
    }
    void TearDown() override
    {
        SetTaskTraceEnabled(0);
        SetTaskTraceLevel(1);
        SetTaskTraceSink(nullptr);
    }

    // Makes, annotates, runs and destroys one task.
    void RunOneTask(int loopId, int level, const std::string& name = "&Target::Task_Nothing")
    {
        auto task = MakeTask(&Target::Task_Nothing, boost::make_shared<Target>());
        SetTaskTraceInfo(task, loopId, "file.cpp", 12, name, "Caller::Post", level);
        task->Execute();
    }

    bool Has(std::size_t i, const std::string& text) const
    {
        return i < lines.size() && lines[i].find(text) != std::string::npos;
    }

    std::vector<std::string> lines;
};

}  // namespace

TEST_F(TraceTest, SwitchedOffStoresNothingAndWritesNothing)
{
    auto task = MakeTask(&Target::Task_Nothing, boost::make_shared<Target>());
    SetTaskTraceInfo(task, ML_PLAY, "file.cpp", 12, "&Target::Task_Nothing", "Caller", 3);
    EXPECT_EQ(task->GetTaskName(), "");
    EXPECT_EQ(task->GetCallerName(), "");
    EXPECT_EQ(task->GetTraceLevel(), 1);
    task->Execute();
    task.reset();
    EXPECT_TRUE(lines.empty());
}

TEST_F(TraceTest, LevelOneWritesPostAndExecuteLinesOnly)
{
    SetTaskTraceEnabled(1);
    SetTaskTraceLevel(1);
    RunOneTask(ML_PLAY, 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(Has(0, "|【ML_PLAY        】|【PostMessage    】|             |<&Target::Task_Nothing> "
                       "called by <Caller::Post> at file file.cpp, line 12.\n"));
    EXPECT_TRUE(Has(1, "【Execute Cost   】|"));
    EXPECT_TRUE(Has(1, " ms|<&Target::Task_Nothing>.\n"));
}

TEST_F(TraceTest, TaskAboveTheGlobalLevelWritesNothing)
{
    SetTaskTraceEnabled(1);
    SetTaskTraceLevel(1);
    RunOneTask(ML_PLAY, 3);
    EXPECT_TRUE(lines.empty());
}

TEST_F(TraceTest, LevelTwoWritesTheWholeLifeInOrder)
{
    SetTaskTraceEnabled(1);
    SetTaskTraceLevel(2);
    RunOneTask(ML_HELPER, 1);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(Has(0, "PostMessage"));
    EXPECT_TRUE(Has(1, "Queue Cost"));
    EXPECT_TRUE(Has(2, "Execute Cost"));
    EXPECT_TRUE(Has(3, "|【ML_HELPER      】|【Destroy        】|             |<&Target::Task_Nothing>.\n"));
}

TEST_F(TraceTest, UnknownLoopsAndLongNamesAreCut)
{
    SetTaskTraceEnabled(1);
    SetTaskTraceLevel(1);
    RunOneTask(0, 1);
    RunOneTask(7, 1);
    RunOneTask(ML_WATERMARK, 1);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_TRUE(Has(0, "【UNKNOWN        】"));
    EXPECT_TRUE(Has(2, "【UNKNOWN        】"));
    EXPECT_TRUE(Has(4, "【ML_WATERMARK   】"));
    EXPECT_EQ(std::string(GetLoopNameById(ML_EXPORT)), "ML_EXPORT");
    EXPECT_EQ(std::string(GetLoopNameById(ML_TEST)), "ML_TEST");
}
