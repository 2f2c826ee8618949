#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "Platform/PlayModule/Stream/PlaySdkWrapper.h"
#include "Support/Fifo.h"
#include "Support/TempFolder.h"
#include "Watermark/WaterMarkUILogic.h"
#include "Watermark/WatermarkEventImp.h"
#include "Watermark/WatermarkLogic.h"
#include "Watermark/WatermarkTaskInfo.h"

namespace {

constexpr std::int64_t kBlock = CWatermarkTaskInfo::kBlockSize;

// The worker's tasks called one by one on the test thread, beside the
// library's threads; with no GUI loop registered its answers are dropped.
class WorkerCases : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.IsValid());
        ui = CWaterMarkUILogic::Create(boost::weak_ptr<CWatermarkEventImp>());
        logic = ui->GetLogic();
    }
    void TearDown() override { LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops(); }

    boost::shared_ptr<CWatermarkTaskInfo> FileOf(const std::string& name, std::int64_t size)
    {
        std::ofstream out(folder.File(name), std::ios::binary);
        for (std::int64_t i = 0; i < size; ++i)
            out.put(char(i * 7));
        out.close();
        return boost::make_shared<CWatermarkTaskInfo>(SF_SOFT_BASE::Utf8ToWide(folder.File(name)), 0);
    }
    boost::shared_ptr<CWatermarkTaskInfo> Opened(const std::string& name, std::int64_t size)
    {
        auto task = FileOf(name, size);
        logic->Task_InitWatermark(task);
        EXPECT_TRUE(task->wrapper && task->buffer);
        EXPECT_EQ(task->fileSize, size);
        return task;
    }

    TempFolder folder;
    boost::shared_ptr<CWaterMarkUILogic> ui;
    boost::shared_ptr<CWatermarkLogic> logic;
};

}  // namespace

TEST_F(WorkerCases, BlocksRunFromZeroToHundredWithoutAnExtraRead)
{
    struct Case {
        std::int64_t size;
        std::vector<int> percents;  // after each block
    };
    for (const Case& c : {Case{50000, {100}}, Case{2 * kBlock, {50, 100}}, Case{3 * kBlock + 1, {33, 66, 99, 100}}}) {
        SCOPED_TRACE(c.size);
        auto task = Opened("blocks.kvx", c.size);
        EXPECT_EQ(task->percent, 0);
        for (int percent : c.percents) {
            logic->Task_Watermark(task);
            EXPECT_EQ(task->percent, percent);
            EXPECT_EQ(task->percentChanged, 1);
        }
        EXPECT_EQ(task->bytesFed, c.size);
        EXPECT_FALSE(task->buffer);
        EXPECT_FALSE(task->file.IsOpen());
    }
}

TEST_F(WorkerCases, GrowingFileEndsAtItsSizeAtOpenAndShrunkOrEmptyFilesFailToRead)
{
    auto growing = Opened("growing.kvx", 1000);
    std::ofstream(folder.File("growing.kvx"), std::ios::app) << std::string(200000, 'x');
    logic->Task_Watermark(growing);
    EXPECT_EQ(growing->bytesFed, 1000);
    EXPECT_EQ(growing->percent, 100);

    auto shrunk = Opened("shrunk.kvx", 300000);
    std::filesystem::resize_file(folder.File("shrunk.kvx"), 100000);
    logic->Task_Watermark(shrunk);
    EXPECT_EQ(shrunk->percent, 33);
    logic->Task_Watermark(shrunk);
    EXPECT_EQ(shrunk->percent, -2);
    EXPECT_FALSE(shrunk->file.IsOpen());

    auto empty = FileOf("empty.kvx", 0);
    logic->Task_InitWatermark(empty);
    EXPECT_TRUE(empty->wrapper);
    logic->Task_Watermark(empty);
    EXPECT_EQ(empty->percent, -2);

    auto missing = boost::make_shared<CWatermarkTaskInfo>(SF_SOFT_BASE::Utf8ToWide(folder.File("none.kvx")), 0);
    logic->Task_InitWatermark(missing);
    EXPECT_FALSE(missing->wrapper);
    EXPECT_FALSE(missing->buffer);
}

TEST_F(WorkerCases, ARecordingThatIsNoRegularFileIsNotOpened)
{
    const std::string fifo = folder.File("fifo.kvx");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    FifoReaderWatch watch(fifo);
    auto task = boost::make_shared<CWatermarkTaskInfo>(SF_SOFT_BASE::Utf8ToWide(fifo), 0);
    logic->Task_InitWatermark(task);
    EXPECT_FALSE(watch.Stop());
    EXPECT_FALSE(task->wrapper);
    EXPECT_FALSE(task->file.IsOpen());

    std::filesystem::create_directory(folder.File("folder.kvx"));
    auto directory = boost::make_shared<CWatermarkTaskInfo>(SF_SOFT_BASE::Utf8ToWide(folder.File("folder.kvx")), 0);
    logic->Task_InitWatermark(directory);
    EXPECT_FALSE(directory->wrapper);
}

TEST_F(WorkerCases, StopLeavesAFinishedFileAndSilencesQueuedBlocksUntilTheNextOpen)
{
    auto finished = Opened("finished.kvx", 5000);
    logic->Task_Watermark(finished);
    ASSERT_EQ(finished->percent, 100);
    logic->Task_StopWatermark(finished);
    EXPECT_EQ(finished->bytesFed, 5000);
    EXPECT_EQ(finished->fileSize, 5000);

    auto stopped = Opened("stopped.kvx", 3 * kBlock);
    logic->Task_Watermark(stopped);
    logic->Task_StopWatermark(stopped);
    EXPECT_EQ(stopped->bytesFed, 0);
    EXPECT_EQ(stopped->fileSize, 0);
    EXPECT_FALSE(stopped->file.IsOpen());
    logic->Task_Watermark(stopped);  // a block still queued after the stop
    EXPECT_EQ(stopped->bytesFed, 0);
    EXPECT_EQ(stopped->percent, 33);

    logic->RequestStop();  // from the GUI thread
    auto next = Opened("next.kvx", 4000);
    logic->Task_Watermark(next);
    EXPECT_EQ(next->percent, 100);
}

TEST_F(WorkerCases, ReportsAreMatchedByDecoder)
{
    auto first = Opened("first.kvx", 100);
    auto second = Opened("second.kvx", 100);
    EXPECT_TRUE(first->IsDecoder(first->wrapper.get()));
    EXPECT_FALSE(first->IsDecoder(second->wrapper.get()));
    EXPECT_FALSE(first->IsDecoder(nullptr));
}

// A file fed to its end, one that failed and one stopped keep their results
// only: their decoders and blocks are gone.
TEST_F(WorkerCases, AFileCheckedFailedOrStoppedKeepsNoDecoderNorBlock)
{
    auto finished = Opened("finished.kvx", 2 * kBlock);
    auto failed = Opened("failed.kvx", 300000);
    auto stopped = Opened("stopped.kvx", 3 * kBlock);
    const std::vector<boost::weak_ptr<PLAY_MODULE::CPlaySdkWrapper>> decoders{finished->wrapper, failed->wrapper,
                                                                               stopped->wrapper};
    logic->Task_Watermark(finished);
    logic->Task_Watermark(finished);
    ASSERT_EQ(finished->percent, 100);
    std::filesystem::resize_file(folder.File("failed.kvx"), 100000);
    logic->Task_Watermark(failed);
    logic->Task_Watermark(failed);
    ASSERT_EQ(failed->percent, -2);
    logic->Task_Watermark(stopped);
    logic->Task_StopWatermark(stopped);
    for (const auto& decoder : decoders)
        EXPECT_TRUE(decoder.expired());
    for (const auto& task : {finished, failed, stopped})
        EXPECT_FALSE(task->buffer);
}
