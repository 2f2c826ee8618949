#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "PlayManager/AVIRecorder.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

namespace {

PLAY_MODULE::PM_FRAME_INFO FrameAt(int year, int month, int day, int hour, int minute, int second)
{
    PLAY_MODULE::PM_FRAME_INFO info;
    info.nYear = year;
    info.nMonth = month;
    info.nDay = day;
    info.nHour = hour;
    info.nMinute = minute;
    info.nSecond = second;
    return info;
}

std::string NameFor(AVIRecorder& recorder, int* goOn = nullptr)
{
    char name[PLAY_MODULE::kAviNameBufferSize] = {};
    int ignored = -1;
    recorder.MakeFileName(2, goOn ? goOn : &ignored, name);
    return name;
}

}  // namespace

TEST(AVIRecorderNames, FolderAndTagOfClipPaths)
{
    EXPECT_EQ("D:/Video/", AVIRecorder::FolderOf("D:/Video/20200101120000[2]_1.avi"));
    EXPECT_EQ("D:\\Video\\", AVIRecorder::FolderOf("D:\\Video\\20200101120000_1.avi"));
    EXPECT_EQ("", AVIRecorder::FolderOf("20200101120000_1.avi"));
    EXPECT_EQ("[2_1]_33", AVIRecorder::TagOf("/v/20200101120000[2_1]_33.avi"));
    EXPECT_EQ("_33", AVIRecorder::TagOf("/v/20200101120000_33.avi"));
    // No tag in the file name: a folder's "[" or "_" does not count.
    EXPECT_EQ("", AVIRecorder::TagOf("/my_clips/[x]/20200101120000.avi"));
    EXPECT_EQ("", AVIRecorder::TagOf("/v/clip_7"));
}

TEST(AVIRecorderNames, AStoppedRecorderAsksToEndAndTakesNoFrameTime)
{
    AVIRecorder recorder;
    const auto info = FrameAt(2021, 3, 4, 5, 6, 7);
    EXPECT_EQ(1, recorder.InputData(nullptr, 0, info));
    int goOn = -1;
    EXPECT_EQ("00000000000000.avi", NameFor(recorder, &goOn));
    EXPECT_EQ(0, goOn);
}

TEST(AVIRecorderNames, FurtherFilesAreNamedFromTheLastFrameTime)
{
    PLAY_MODULE_TEST::CSampleFolder folder;
    const std::string clip = folder.File("20200101000000[3]_12.avi");
    AVIRecorder recorder;
    ASSERT_NE(0, recorder.Start(clip.c_str()));
    EXPECT_EQ(1, recorder.InputData(nullptr, 0, FrameAt(2021, 3, 4, 5, 6, 7)));
    int goOn = 0;
    EXPECT_EQ(folder.Path() + "/20210304050607[3]_12.avi", NameFor(recorder, &goOn));
    EXPECT_EQ(1, goOn);
    recorder.Stop();
    EXPECT_FALSE(recorder.IsRunning());
}

TEST(AVIRecorderNames, LongPathsAreCutToTheNameBuffer)
{
    PLAY_MODULE_TEST::CSampleFolder folder;
    const std::string clip =
        folder.Path() + "/" + std::string(700, 'x') + "/20200101000000[1]_1.avi";
    AVIRecorder recorder;
    recorder.Start(clip.c_str());
    const std::string name = NameFor(recorder);
    EXPECT_EQ(std::size_t(PLAY_MODULE::kAviNameBufferSize - 1), name.size());
    recorder.Stop();
}

namespace {

// A converter whose input stays full.
class FullInputRecorder : public AVIRecorder {
public:
    std::atomic<int> offers{0};

protected:
    int FeedConverter(unsigned char*, unsigned long) override
    {
        ++offers;
        return 0;
    }
};

}  // namespace

TEST(AVIRecorderFeeding, StoppingReleasesABlockTheConverterKeepsRefusing)
{
    PLAY_MODULE_TEST::CSampleFolder folder;
    FullInputRecorder recorder;
    ASSERT_NE(0, recorder.Start(folder.File("20200101000000[1]_1.avi").c_str()));
    std::atomic<bool> fed{false};
    std::thread stream([&] {
        unsigned char block[64] = {};
        recorder.InputData(block, sizeof block, FrameAt(2021, 1, 1, 0, 0, 0));
        fed = true;
    });
    while (recorder.offers < 3)
        std::this_thread::yield();
    EXPECT_FALSE(fed.load());  // still offering the same block
    recorder.Stop();
    stream.join();
    EXPECT_TRUE(fed.load());
}

TEST(AVIRecorderNames, AFailedStartLeavesTheRecorderStopped)
{
    AVIRecorder recorder;
    EXPECT_EQ(0, recorder.Start("/nonexistent-folder/x/20200101000000[1]_1.avi"));
    EXPECT_FALSE(recorder.IsRunning());
    EXPECT_EQ(0, recorder.Start(nullptr));
}
