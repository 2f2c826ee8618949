#include "RecordingListener.h"
#include "SampleFiles.h"
#include "TestClocks.h"

#include "Platform/PlayModule/Engine/PlayEngine.h"
#include "Platform/PlayModule/PlayModule.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

using namespace PLAY_MODULE;
using namespace PlayModuleTest;

namespace PlayModuleTest {

const std::map<std::string, SampleSpec>& Samples()
{
    static const std::map<std::string, SampleSpec> samples = [] {
        std::map<std::string, SampleSpec> all;
        SampleSpec mp4;
        mp4.format = "mp4";
        mp4.creationTime = "2024-05-01T10:00:00.000000Z";
        mp4.audio = true;
        all["clip.mp4"] = mp4;
        SampleSpec avi;
        avi.format = "avi";
        all["clip.avi"] = avi;
        SampleSpec ts;
        ts.format = "mpegts";
        all["clip.ts"] = ts;
        SampleSpec ps;
        ps.format = "ps";
        all["clip.ps"] = ps;
        SampleSpec hevc = ps;
        hevc.hevc = true;
        all["clip265.ps"] = hevc;
        SampleSpec later = mp4;
        later.audio = false;
        later.creationTime = "2024-05-01T10:00:01.000000Z";
        all["later.mp4"] = later;
        return all;
    }();
    return samples;
}

std::string Sample(const std::string& name)
{
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    const std::string path = TempPath(name);
    if (!std::filesystem::exists(path)) {
        const bool made = MakeSample(path, Samples().at(name));
        EXPECT_TRUE(made) << name;
    }
    return path;
}

}  // namespace PlayModuleTest

namespace {

struct Player {
    RecordingListener listener;
    std::unique_ptr<CPlayModule> module = std::make_unique<CPlayModule>(&listener);

    bool Open(const std::string& path, std::shared_ptr<ITimeSource> clock = nullptr)
    {
        if (clock)
            module->SetTimeSource(std::move(clock));
        return module->Open(path.c_str()) != 0;
    }
};

unsigned Base(Player& player)
{
    return player.module->GetFileStartTime();
}

int FrameNumber(const ShownFrame& frame)
{
    return (frame.numberBlock - 16 + 4) / 8;
}

class EveryContainer : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { CPlayModule::SetRenderType(PM_RENDER_QT); }
};

}  // namespace

TEST_P(EveryContainer, PlaysEveryFrameInOrderAndReportsTheEnd)
{
    const SampleSpec& spec = Samples().at(GetParam());
    Player player;
    ASSERT_TRUE(player.Open(Sample(GetParam()), std::make_shared<RushingTimeSource>()));
    ASSERT_EQ(1, player.module->Play(nullptr));
    ASSERT_TRUE(player.listener.WaitForEnd());

    const auto frames = player.listener.Frames();
    ASSERT_EQ(std::size_t(spec.frames), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(std::int64_t(i) * 1000 / spec.fps, frames[i].stampMs) << i;
        EXPECT_EQ(int(i % 25), FrameNumber(frames[i])) << i;
        EXPECT_EQ(spec.width, frames[i].width);
        EXPECT_EQ(spec.height, frames[i].height);
    }
    EXPECT_EQ(1, frames.front().key);
    // Every byte of the file is handed out once, in order.
    EXPECT_EQ(std::int64_t(std::filesystem::file_size(Sample(GetParam()))),
              player.listener.streamBytes.load());
    EXPECT_EQ(1, player.listener.fileEnds.load());
    EXPECT_EQ(0, player.module->IsPlaying());
}

TEST_P(EveryContainer, ExactAndKeySeeksLandOnTheRightFrame)
{
    const SampleSpec& spec = Samples().at(GetParam());
    Player player;
    ASSERT_TRUE(player.Open(Sample(GetParam())));
    ASSERT_EQ(1, player.module->Play(nullptr));
    player.module->Pause();

    ASSERT_EQ(1, player.module->Seek(Base(player) + 1u, 1));
    ASSERT_TRUE(player.listener.WaitFor([&] { return player.listener.LastFrame().stampMs == 1000; }));
    EXPECT_EQ(spec.fps % 25, FrameNumber(player.listener.LastFrame()));

    // 1.5 s exactly and by key frame (one key frame a second).
    player.listener.ClearFrames();
    const float percent = 1500.0f * 100.0f / float(spec.frames * 1000 / spec.fps);
    if (GetParam() == "clip.mp4" || GetParam() == "clip.avi") {
        ASSERT_EQ(1, player.module->Seek(percent));
        ASSERT_TRUE(player.listener.WaitForFrames(1));
        EXPECT_EQ(1480, player.listener.LastFrame().stampMs);
    }
    player.listener.ClearFrames();
    ASSERT_EQ(1, player.module->Seek(Base(player) + 2u, 0));
    ASSERT_TRUE(player.listener.WaitForFrames(1));
    EXPECT_EQ(2000, player.listener.LastFrame().stampMs);
    EXPECT_EQ(1, player.listener.LastFrame().key);
    EXPECT_EQ(2u, player.module->GetFilePlayedTime());
}

TEST_P(EveryContainer, StepsBothWaysAcrossKeyFrames)
{
    Player player;
    ASSERT_TRUE(player.Open(Sample(GetParam())));
    ASSERT_EQ(1, player.module->Play(nullptr));
    const std::size_t shownBefore = player.listener.FrameCount();
    ASSERT_EQ(1, player.module->Seek(Base(player) + 1u, 1));
    // Play goes on after the seek: the frame may be gone by the time we look.
    ASSERT_TRUE(player.listener.WaitForFrameAt(1000, shownBefore));
    player.module->Pause();
    ASSERT_TRUE(player.listener.WaitUntilQuiet());
    player.listener.ClearFrames();
    player.module->Seek(Base(player) + 1u, 1);
    ASSERT_TRUE(player.listener.WaitForFrames(1));

    const std::int64_t expected[] = {960, 920, 880, 920, 960, 1000, 1040};
    const bool forward[] = {false, false, false, true, true, true, true};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        ASSERT_EQ(1, forward[i] ? player.module->StepForward() : player.module->StepBackward());
        ASSERT_TRUE(player.listener.WaitForFrames(i + 2)) << i;
        EXPECT_EQ(expected[i], player.listener.LastFrame().stampMs) << i;
    }
    EXPECT_EQ(0, player.module->IsPlaying());
}

TEST_P(EveryContainer, ReversePlayShowsFramesInFallingTimeOrder)
{
    const SampleSpec& spec = Samples().at(GetParam());
    Player player;
    ASSERT_TRUE(player.Open(Sample(GetParam()), std::make_shared<RushingTimeSource>()));
    ASSERT_EQ(1, player.module->Play(nullptr));
    player.module->Pause();
    const unsigned middle = unsigned(spec.frames / spec.fps / 2 + 1);
    player.module->Seek(Base(player) + middle, 1);
    ASSERT_TRUE(player.listener.WaitFor(
        [&] { return player.listener.LastFrame().stampMs == std::int64_t(middle) * 1000; }));
    player.listener.ClearFrames();
    ASSERT_EQ(1, player.module->SetPlayDirection(1));
    player.module->Resume();
    ASSERT_TRUE(player.listener.WaitForEnd());

    const auto frames = player.listener.Frames();
    ASSERT_EQ(std::size_t(middle * spec.fps), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(std::int64_t(middle) * 1000 - std::int64_t(i + 1) * 1000 / spec.fps,
                  frames[i].stampMs)
            << i;
}

INSTANTIATE_TEST_SUITE_P(Containers, EveryContainer,
                         ::testing::Values("clip.mp4", "clip.avi", "clip.ts", "clip.ps",
                                           "clip265.ps"),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

// Random seeks and steps on a paused player, against a model of the frames.
TEST_P(EveryContainer, RandomSeeksAndStepsShowTheExpectedFrame)
{
    const SampleSpec& spec = Samples().at(GetParam());
    const std::int64_t frameMs = 1000 / spec.fps;
    const std::int64_t lastMs = (spec.frames - 1) * frameMs;
    const std::int64_t durationMs = spec.frames * frameMs;
    Player player;
    ASSERT_TRUE(player.Open(Sample(GetParam())));
    ASSERT_EQ(1, player.module->Play(nullptr));
    player.module->Pause();
    const std::int64_t base = std::int64_t(Base(player)) * 1000;
    std::int64_t expected = -1;
    unsigned seed = 12345;
    auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    for (int op = 0; op < 150; ++op) {
        const unsigned choice = next() % 10;
        if (choice < 2 || expected < 0) {
            const std::int64_t frame = std::int64_t(next() % unsigned(spec.frames));
            const std::int64_t target = frame * frameMs + frameMs / 2;
            ASSERT_EQ(1, player.module->Seek(float(double(target) * 100.0 / double(durationMs))));
            expected = frame * frameMs;
        } else if (choice < 6) {
            player.module->StepForward();
            expected = std::min(expected + frameMs, lastMs);
        } else {
            player.module->StepBackward();
            expected = std::max<std::int64_t>(expected - frameMs, 0);
        }
        ASSERT_EQ(base + expected, player.module->GetCurrentPlayTimeMs()) << "operation " << op;
        ASSERT_EQ(expected, player.listener.LastFrame().stampMs) << "operation " << op;
    }
}

namespace {

// Moves the hand-driven wall on a frame at a time until the listener has
// that many frames, each waited for: a turn holds the player's clock while
// its first pictures back are decoded, and wall time passed then moves
// nothing.
bool AdvanceForFrames(ManualTimeSource& clock, RecordingListener& listener, std::size_t frames, std::int64_t frameMs)
{
    for (int i = 0; i < 100; ++i) {
        const std::size_t have = listener.FrameCount();
        if (have >= frames)
            return true;
        clock.AdvanceMs(frameMs);
        listener.WaitForFrames(have + 1, std::chrono::seconds(5));
    }
    return false;
}

}  // namespace

// Stretches of forward and reverse play between random steps: every step
// afterwards still lands next to the frame play stopped at.
TEST_P(EveryContainer, StepsAfterStretchesOfPlayInBothDirections)
{
    const SampleSpec& spec = Samples().at(GetParam());
    const std::int64_t frameMs = 1000 / spec.fps;
    const std::int64_t lastMs = (spec.frames - 1) * frameMs;
    Player player;
    // Each stretch gets the time of its frames: paused, the player then stands
    // where its clock stopped.
    auto clock = std::make_shared<ManualTimeSource>();
    ASSERT_TRUE(player.Open(Sample(GetParam()), clock));
    ASSERT_EQ(1, player.module->Play(nullptr));
    player.module->Pause();
    ASSERT_EQ(1, player.module->Seek(50.0f));
    unsigned seed = 2024;
    auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    for (int round = 0; round < 25; ++round) {
        const std::int64_t before = player.listener.LastFrame().stampMs;
        const bool forward = before < frameMs * 10 || (before < lastMs - frameMs * 10 && next() % 2);
        player.module->SetPlayDirection(forward ? 0 : 1);
        const std::size_t shown = player.listener.FrameCount();
        const unsigned count = 2 + next() % 5;
        player.module->Resume();
        ASSERT_TRUE(AdvanceForFrames(*clock, player.listener, shown + count, frameMs));
        player.module->Pause();
        ASSERT_TRUE(player.listener.WaitUntilQuiet());
        std::int64_t expected = player.listener.LastFrame().stampMs;
        EXPECT_TRUE(forward ? expected > before : expected < before) << round;
        // No frame left out on the way.
        const auto frames = player.listener.Frames();
        std::int64_t previous = before;
        for (std::size_t i = shown; i < frames.size(); ++i) {
            EXPECT_EQ(previous + (forward ? frameMs : -frameMs), frames[i].stampMs) << round;
            previous = frames[i].stampMs;
        }
        for (unsigned step = next() % 4 + 1; step > 0; --step) {
            const bool ahead = next() % 2;
            ahead ? player.module->StepForward() : player.module->StepBackward();
            expected = ahead ? std::min(expected + frameMs, lastMs)
                             : std::max<std::int64_t>(expected - frameMs, 0);
            ASSERT_EQ(expected, player.listener.LastFrame().stampMs) << round;
        }
    }
}

// The pictures decoded for reverse play and back-steps stay within their
// budget and are given back once reverse ends: the direction turned
// forward, or play going forward after steps back.
TEST(ReverseMemory, HeldPicturesGoWhenReverseEnds)
{
    for (const bool reversePlay : {true, false}) {
        Player player;
        ASSERT_TRUE(player.Open(Sample("clip.mp4")));
        ASSERT_EQ(1, player.module->Play(nullptr));
        player.module->Pause();
        ASSERT_EQ(1, player.module->Seek(75.0f));
        const CPlayEngine& engine = *player.module->Engine();
        const std::size_t shown = player.listener.FrameCount();
        if (reversePlay) {
            player.module->SetPlayDirection(1);
            player.module->Resume();
            ASSERT_TRUE(player.listener.WaitForFrames(shown + 5));
            player.module->Pause();
        } else {
            for (int step = 0; step < 5; ++step)
                player.module->StepBackward();
        }
        EXPECT_GT(engine.ReverseHeldBytes(), 0u) << reversePlay;
        EXPECT_LE(engine.ReverseHeldBytes(), CReverseBudget::kModuleBytes) << reversePlay;
        if (reversePlay)
            player.module->SetPlayDirection(0);
        else
            player.module->Resume();
        EXPECT_TRUE(player.listener.WaitFor([&] { return engine.ReverseHeldBytes() == 0; })) << reversePlay;
        EXPECT_TRUE(player.listener.WaitFor([] { return CReverseBudget::Holders() == 0; })) << reversePlay;
    }
}

// A seek in reverse leaves no picture, yet reverse ending gives the module's
// share of the budget back.
TEST(ReverseMemory, ShareGoesWhenReverseEndsAfterASeek)
{
    Player player;
    ASSERT_TRUE(player.Open(Sample("clip.mp4")));
    ASSERT_EQ(1, player.module->Play(nullptr));
    player.module->Pause();
    ASSERT_EQ(1, player.module->Seek(75.0f));
    player.module->SetPlayDirection(1);
    player.module->Resume();
    ASSERT_TRUE(player.listener.WaitForFrames(player.listener.FrameCount() + 5));
    ASSERT_EQ(1u, CReverseBudget::Holders());
    player.module->Pause();
    ASSERT_EQ(1, player.module->Seek(50.0f));
    player.module->SetPlayDirection(0);
    EXPECT_TRUE(player.listener.WaitFor([] { return CReverseBudget::Holders() == 0; }));
}
