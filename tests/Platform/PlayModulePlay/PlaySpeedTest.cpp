#include "RecordingListener.h"
#include "SampleFiles.h"
#include "TestClocks.h"

#include "Platform/PlayModule/Engine/DecoderThreads.h"
#include "Platform/PlayModule/PlayModule.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

using namespace PLAY_MODULE;
using namespace PlayModuleTest;

namespace {

constexpr std::int64_t kFrameMs = 40;

std::string StepSample()
{
    static const std::string path = [] {
        SampleSpec spec;
        spec.width = 160;
        spec.height = 120;
        spec.frames = 150;
        spec.gop = 25;
        const std::string file = TempPath("steps.mp4");
        return MakeSample(file, spec) ? file : std::string();
    }();
    return path;
}

}  // namespace

// Stepping back across groups shows every frame once, in order: with a
// pause between steps (the group before is then decoded ahead) and with
// steps that come at once (served while that decoding runs).
TEST(PlaySpeed, StepsBackAcrossGroupsShowEveryFrameInOrder)
{
    ASSERT_FALSE(StepSample().empty());
    for (const auto pause : {std::chrono::milliseconds(20), std::chrono::milliseconds(0)}) {
        RecordingListener listener;
        CPlayModule module(&listener);
        ASSERT_EQ(1, module.Open(StepSample().c_str()));
        ASSERT_EQ(1, module.Play(nullptr));
        module.Pause();
        ASSERT_EQ(1, module.Seek(5u, 1));
        ASSERT_EQ(5000, listener.LastFrame().stampMs);
        for (int step = 1; step <= 80; ++step) {
            std::this_thread::sleep_for(pause);
            ASSERT_EQ(1, module.StepBackward());
            ASSERT_EQ(5000 - kFrameMs * step, module.GetCurrentPlayTimeMs()) << "pause " << pause.count();
        }
        ASSERT_EQ(1, module.StepForward());
        EXPECT_EQ(5000 - kFrameMs * 79, module.GetCurrentPlayTimeMs());
    }
}

// 100 frames in two groups of this size; empty when it cannot be made.
std::string TwoGroupSample(const char* name, int width, int height)
{
    SampleSpec spec;
    spec.width = width;
    spec.height = height;
    spec.frames = 100;
    spec.gop = 50;
    const std::string path = TempPath(name);
    return MakeSample(path, spec) ? path : std::string();
}

int ThreadsOfThisProcess()
{
    int threads = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
        ++threads;
    return threads;
}

// Even alone, a module starts decoding large pictures on its play thread: the
// first of modules opened one after another into a grid holds no frame
// threads (and their pictures) until its next key frame.
TEST(PlaySpeed, DecodingStartsOnThePlayThread)
{
    const std::string path = TwoGroupSample("d1_threads.mp4", 704, 576);
    ASSERT_FALSE(path.empty());
    ASSERT_FALSE(StepSample().empty());
    // A module opened and closed first: threads a runtime starts with the
    // first ones (a sanitizer's) are then counted before.
    {
        RecordingListener smallListener;
        CPlayModule small(&smallListener);
        ASSERT_EQ(1, small.Open(StepSample().c_str()));
    }
    ASSERT_EQ(0, CDecoderThreads::PlayingStreams());
    const int before = ThreadsOfThisProcess();
    RecordingListener listener;
    CPlayModule module(&listener);
    ASSERT_EQ(1, module.Open(path.c_str()));
    // The play thread and the index scan's.
    EXPECT_LE(ThreadsOfThisProcess() - before, 2);
    ASSERT_EQ(1, module.Play(nullptr));
    ASSERT_TRUE(listener.WaitForFrames(1));
}

// The decoder takes another thread count at a key frame; no frame is lost
// or shown twice when it does.
TEST(PlaySpeed, DecoderThreadChangesLoseNoFrame)
{
    ASSERT_FALSE(StepSample().empty());
    RecordingListener listener;
    CPlayModule module(&listener);
    module.SetTimeSource(std::make_shared<RushingTimeSource>());
    listener.blockFrames = true;
    ASSERT_EQ(1, module.Open(StepSample().c_str()));
    ASSERT_EQ(1, module.Play(nullptr));
    // Frames are held until drawn: each group starts with another count.
    for (int frame = 0; listener.fileEnds == 0 && frame < 400; ++frame) {
        if (frame % 25 == 0)
            CDecoderThreads::SetFixedThreads(1 + (frame / 25) % 3);
        listener.WaitFor([&] { return listener.FrameCount() > std::size_t(frame) || listener.fileEnds > 0; });
        listener.drawn.Set();
    }
    CDecoderThreads::SetFixedThreads(0);
    listener.blockFrames = false;
    listener.drawn.Set();
    ASSERT_TRUE(listener.WaitForEnd());
    const auto frames = listener.Frames();
    ASSERT_EQ(150u, frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(std::int64_t(i) * kFrameMs, frames[i].stampMs);
}

namespace {

struct FullSpeedRun {
    std::vector<ShownFrame> frames;
    int threadsAtFrame10 = 0;  // more than before Open
    int streamBlocks = 0;
    std::int64_t streamBytes = 0;
};

// Plays the file at full speed with a fixed decoder thread count, each
// frame held until drawn.
FullSpeedRun PlayAtFullSpeed(const std::string& path, int threads)
{
    FullSpeedRun run;
    CDecoderThreads::SetFixedThreads(threads);
    const int before = ThreadsOfThisProcess();
    RecordingListener listener;
    CPlayModule module(&listener);
    module.SetTimeSource(std::make_shared<RushingTimeSource>());
    listener.blockFrames = true;
    if (module.Open(path.c_str()) != 1 || module.Play(nullptr) != 1)
        return run;
    for (std::size_t frame = 1; frame <= 10; ++frame) {
        listener.WaitFor([&] { return listener.FrameCount() >= frame || listener.fileEnds > 0; });
        if (frame < 10)
            listener.drawn.Set();
    }
    run.threadsAtFrame10 = ThreadsOfThisProcess() - before;
    listener.blockFrames = false;
    listener.drawn.Set();
    listener.WaitForEnd();
    CDecoderThreads::SetFixedThreads(0);
    run.frames = listener.Frames();
    run.streamBlocks = listener.streamBlocks;
    run.streamBytes = listener.streamBytes;
    return run;
}

}  // namespace

// Played faster than one thread decodes, a module takes its decoder threads
// within its first group (its decoding starts on the play thread): the group
// decoded again shows no frame twice, loses none, and hands its stream data
// over once.
TEST(PlaySpeed, FullSpeedTakesTheDecoderThreadsInTheFirstGroup)
{
    const std::string path = TwoGroupSample("full_speed.mp4", 320, 240);
    ASSERT_FALSE(path.empty());
    // A sanitizer starts its own thread with the first one made: not counted.
    std::thread([] {}).join();
    const FullSpeedRun alone = PlayAtFullSpeed(path, 1);
    const FullSpeedRun threaded = PlayAtFullSpeed(path, 3);
    // The play thread (and the index scan's) alone, then three more.
    EXPECT_LE(alone.threadsAtFrame10, 2);
    EXPECT_GE(threaded.threadsAtFrame10, 4);
    for (const FullSpeedRun* run : {&alone, &threaded}) {
        ASSERT_EQ(100u, run->frames.size());
        for (std::size_t i = 0; i < run->frames.size(); ++i)
            EXPECT_EQ(std::int64_t(i) * kFrameMs, run->frames[i].stampMs);
    }
    EXPECT_EQ(alone.streamBlocks, threaded.streamBlocks);
    EXPECT_EQ(alone.streamBytes, threaded.streamBytes);
}
