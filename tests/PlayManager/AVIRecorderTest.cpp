#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include "Base/TextCodec.h"
#include "Common/LeftTemporaries.h"
#include "Platform/PlayModule/Source/AviKeptClip.h"
#include "PlayManager/AVIRecorder.h"
#include "Platform/PlayModule/Support/FullDecode.h"
#include "Platform/PlayModule/Support/PlainDemux.h"
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

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

// Eight seconds of 320x240 at 1 Mbit/s: about a megabyte.
std::string MakeSource(const PLAY_MODULE_TEST::CSampleFolder& folder)
{
    KVX_WRITER::SyntheticOptions options;
    options.seconds = 8;
    options.width = 320;
    options.height = 240;
    return folder.MakeKvx(options);
}

// Packets libavformat reads short of their chunk's size (a file cut inside one).
int CutPackets(const std::string& path)
{
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return -1;
    int cut = 0;
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(format, packet) >= 0) {
        cut += (packet->flags & AV_PKT_FLAG_CORRUPT) ? 1 : 0;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    return cut;
}

int DecodedFrames(const std::string& path)
{
    int frames = 0;
    PLAY_MODULE_TEST::DecodeContainerKeyFrames(path, &frames);
    return frames;
}

// Whether a temporary beside an AVI clip in folder holds bytes.
bool WritesATemporary(const std::string& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().string().find(".avi.~") != std::string::npos && entry.file_size() > 0)
            return true;
    return false;
}

struct Failure {
    std::string keptPath;
    std::int64_t keptMs = 0;
    bool beforeStop = false;
};

}  // namespace

TEST(AVIRecorderLoss, AFullDiskKeepsAPlayableIncompleteClipAndTellsAtOnce)
{
    PLAY_MODULE_TEST::CSampleFolder folder;
    const std::vector<std::uint8_t> source = PLAY_MODULE_TEST::ReadFileBytes(MakeSource(folder));
    AVIRecorder recorder;
    std::mutex mutex;
    std::vector<Failure> failures;
    std::atomic<bool> stopping{false};
    recorder.SetFailureReport([&](const std::string& keptPath, std::int64_t keptMs) {
        std::lock_guard lock(mutex);
        failures.push_back({keptPath, keptMs, !stopping});
    });
    // A file-size limit stands in for a full disk.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    const rlimit limit{300000, oldLimit.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    ASSERT_NE(0, recorder.Start(folder.File("20200101000000[1]_1.avi").c_str()));
    const auto time = FrameAt(2021, 3, 4, 5, 6, 7);
    for (std::size_t at = 0; at < source.size() && recorder.IsRunning(); at += kBlockSize)
        recorder.InputData(const_cast<std::uint8_t*>(source.data()) + at, int(std::min(kBlockSize, source.size() - at)),
                           time);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    auto told = [&] {
        std::lock_guard lock(mutex);
        return !failures.empty();
    };
    while (!told() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);
    stopping = true;
    EXPECT_EQ(0, recorder.Stop());
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_TRUE(failures[0].beforeStop);
    // Named as the clip would have been, from its first frame's time.
    EXPECT_EQ(failures[0].keptPath, folder.File("20210304050607[1]_1_incomplete.avi"));
    EXPECT_GT(failures[0].keptMs, 0);
    EXPECT_LE(std::filesystem::file_size(failures[0].keptPath), 300000u);
    EXPECT_GT(DecodedFrames(failures[0].keptPath), 0);
    EXPECT_EQ(PLAY_MODULE_TEST::ContainerLengthMs(failures[0].keptPath), failures[0].keptMs);
    EXPECT_FALSE(std::filesystem::exists(folder.File("20200101000000[1]_1.avi")));
}

// Another instance that starts meanwhile leaves the clip being written alone.
TEST(AVIRecorderLoss, ACleanUpAtAnotherStartLeavesTheClipBeingWritten)
{
    PLAY_MODULE_TEST::CSampleFolder folder;
    const std::vector<std::uint8_t> source = PLAY_MODULE_TEST::ReadFileBytes(MakeSource(folder));
    AVIRecorder recorder;
    ASSERT_NE(0, recorder.Start(folder.File("20200101000000[1]_1.avi").c_str()));
    const auto time = FrameAt(2021, 3, 4, 5, 6, 7);
    const std::size_t half = source.size() / 2;
    recorder.InputData(const_cast<std::uint8_t*>(source.data()), int(half), time);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!WritesATemporary(folder.Path()) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(CLeftTemporaries::CleanProgramTemporaries(L"", SF_SOFT_BASE::Utf8ToWide(folder.Path())), 0);
    recorder.InputData(const_cast<std::uint8_t*>(source.data()) + half, int(source.size() - half), time);
    EXPECT_NE(0, recorder.Stop());
    EXPECT_GT(DecodedFrames(folder.File("20210304050607[1]_1.avi")), 150);
}

TEST(AVIRecorderLoss, AClipLeftByACrashIsKeptPlayableAtTheNextStart)
{
    PLAY_MODULE_TEST::CSampleFolder folder;
    const std::string source = MakeSource(folder);
    const std::string clip = folder.File("20160102030405[1]_1.avi");
    std::string child = AVI_RECORD_CHILD;
    std::string sourceArgument = source;
    std::string clipArgument = clip;
    std::string bytes = "200000";
    char* argv[] = {child.data(), sourceArgument.data(), clipArgument.data(), bytes.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, child.c_str(), nullptr, nullptr, argv, environ), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    std::vector<std::string> told;
    EXPECT_EQ(CLeftTemporaries::CleanProgramTemporaries(L"", SF_SOFT_BASE::Utf8ToWide(folder.Path()),
                                                        PLAY_MODULE::CAviKeptClip::Keep, &told),
              1);
    const std::string kept = folder.File("20160102030405[1]_1_incomplete.avi");
    EXPECT_EQ(told, std::vector<std::string>{kept});
    ASSERT_TRUE(std::filesystem::exists(kept));
    EXPECT_GE(std::filesystem::file_size(kept), 150000u);
    EXPECT_GT(DecodedFrames(kept), 25);
    EXPECT_EQ(CutPackets(kept), 0) << "it ends after its last whole packet";
    EXPECT_GT(PLAY_MODULE_TEST::ContainerLengthMs(kept), 1000) << "its header says its length";
}
