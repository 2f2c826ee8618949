#include "RecordingListener.h"
#include "SampleFiles.h"

#include "Platform/PlayModule/PlayModule.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

using namespace PLAY_MODULE;
using namespace PlayModuleTest;

namespace {

constexpr std::int64_t kFrameMs = 40;

struct Played {
    bool ended = false;
    int ends = 0;
    bool stillPlaying = true;
    std::vector<ShownFrame> frames;
};

// Plays the file from its start at the speed until it reports its end
// (bounded: a player that stalls is given up on).
Played PlayThrough(const std::string& path, float speed)
{
    CPlayModule::SetRenderType(PM_RENDER_QT);
    RecordingListener listener;
    auto module = std::make_unique<CPlayModule>(&listener);
    Played played;
    if (module->Open(path.c_str()) != 1 || module->SetSpeed(speed) != 1 || module->Play(nullptr) != 1)
        return played;
    played.ended = listener.WaitForEnd(1, std::chrono::seconds(90));
    played.ends = listener.fileEnds.load();
    played.stillPlaying = module->IsPlaying() != 0;
    played.frames = listener.Frames();
    return played;
}

// The number painted into the frame (0..24, the frame's index mod 25).
int FrameNumber(const ShownFrame& frame)
{
    return (frame.numberBlock - 16 + 4) / 8;
}

// Every shown time lies within the file and none goes back; at normal speed
// each follows the one before within a few frames, and is the frame's own.
void ExpectSaneTimes(const Played& played, int frames, float speed)
{
    const std::int64_t lastMs = (frames - 1) * kFrameMs;
    std::int64_t previous = 0;
    for (std::size_t i = 0; i < played.frames.size(); ++i) {
        const std::int64_t time = played.frames[i].stampMs;
        EXPECT_GE(time, previous) << i;
        EXPECT_LE(time, lastMs) << i;
        if (speed == 1.0f) {
            EXPECT_LE(time - previous, 3 * kFrameMs) << i;
            EXPECT_EQ(time / kFrameMs % 25, FrameNumber(played.frames[i])) << i;
        }
        previous = time;
    }
}

void ExpectPlaysToItsEnd(const std::string& path, int frames)
{
    for (const float speed : {1.0f, 16.0f}) {
        SCOPED_TRACE(speed);
        const Played played = PlayThrough(path, speed);
        ASSERT_TRUE(played.ended);
        EXPECT_EQ(1, played.ends);
        EXPECT_FALSE(played.stillPlaying);
        ASSERT_FALSE(played.frames.empty());
        EXPECT_EQ(0, played.frames.front().stampMs);
        // At normal speed no frame is dropped.
        if (speed == 1.0f) {
            EXPECT_EQ(std::size_t(frames), played.frames.size());
        }
        ExpectSaneTimes(played, frames, speed);
    }
}

}  // namespace

// FFmpeg's program stream writer puts several frames in one packet, and
// gives only the first its time stamps.
TEST(DamagedTimes, AProgramStreamMostFramesOfWhichHaveNoTimePlaysToItsEnd)
{
    SampleSpec spec;
    spec.format = "mpeg";
    spec.frames = 75;
    spec.bFrames = 2;
    const std::string path = TempPath("ffmpeg.ps");
    ASSERT_TRUE(MakeSample(path, spec));
    ExpectPlaysToItsEnd(path, spec.frames);

    // From a key frame without a time of its own backward: each frame shows
    // at its own time.
    RecordingListener listener;
    auto module = std::make_unique<CPlayModule>(&listener);
    ASSERT_EQ(1, module->Open(path.c_str()));
    ASSERT_EQ(1, module->Play(nullptr));
    module->Pause();
    ASSERT_EQ(1, module->Seek(module->GetFileStartTime() + 2, 1));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 2000; }));
    EXPECT_EQ(0, FrameNumber(listener.LastFrame()));
    listener.ClearFrames();
    ASSERT_EQ(1, module->SetPlayDirection(1));
    module->Resume();
    ASSERT_TRUE(listener.WaitForEnd(1, std::chrono::seconds(90)));
    const auto frames = listener.Frames();
    ASSERT_EQ(50u, frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(2000 - std::int64_t(i + 1) * kFrameMs, frames[i].stampMs) << i;
        EXPECT_EQ(frames[i].stampMs / kFrameMs % 25, FrameNumber(frames[i])) << i;
    }
}

TEST(DamagedTimes, TimeStampsJumpingToGarbageNeitherStallPlayNorComeOut)
{
    SampleSpec spec;
    spec.format = "ps";
    spec.frames = 100;
    spec.garbageFromPacket = 50;
    const std::string path = TempPath("garbage-times.ps");
    ASSERT_TRUE(MakeSample(path, spec));
    ExpectPlaysToItsEnd(path, spec.frames);
}
