#include "ImageProbe.h"
#include "LocalTimes.h"
#include "RecordingListener.h"
#include "SampleFiles.h"
#include "TestClocks.h"

#include "Base/SFDateTime.h"
#include "Platform/PlayModule/PlayModule.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

using namespace PLAY_MODULE;
using namespace PlayModuleTest;

namespace {

constexpr unsigned kClipStart = 1714557600;  // 2024-05-01 10:00:00 UTC
constexpr std::int64_t kClipStartMs = std::int64_t(kClipStart) * 1000;
constexpr std::int64_t kFrameMs = 40;

// The group's time in ms since 1970; -1 when it has none.
std::int64_t GroupTimeMs(CPlayModule& group)
{
    __DATETIME_INFO time;
    if (group.GroupPlay_QueryGroupPlayingTime(&time) != 1)
        return -1;
    const std::int64_t seconds = SF_SOFT_BASE::CSFDateTime::MakeTime(
        time.nYear, time.nMonth, time.nDay, time.nHour, time.nMinute, time.nSecond);
    return seconds * 1000 + time.nMillisecond;
}

// Moves the group's clock on by wallMs at the speed given, through the
// hand-driven wall: a turn holds the group while its members decode their
// first pictures back, and wall time passed then moves nothing.
void AdvanceGroupMs(CPlayModule& group, ManualTimeSource& wall, std::int64_t wallMs, double speed = 1.0)
{
    const std::int64_t fromMs = GroupTimeMs(group);
    std::int64_t movedMs = 0;
    for (int i = 0; i < 100 && movedMs < wallMs; ++i) {
        wall.AdvanceMs(wallMs - movedMs);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        movedMs = std::int64_t(double(std::llabs(GroupTimeMs(group) - fromMs)) / speed);
    }
}

// Moves a module's own clock on stepMs at a time until `shown` holds: a
// turn holds the clock while the first pictures back are decoded, and wall
// time passed then moves nothing.
bool AdvanceUntilShown(ManualTimeSource& wall, RecordingListener& listener, std::int64_t stepMs,
                       const std::function<bool()>& shown)
{
    for (int i = 0; i < 200; ++i) {
        wall.AdvanceMs(stepMs);
        if (listener.WaitFor(shown, std::chrono::milliseconds(100)))
            return true;
    }
    return false;
}

// Whether the member shows the frame play shows at that moment: forward the
// last one at or before it, backward the first one at or after it.
bool ShowsMoment(CPlayModule& member, std::int64_t momentMs, bool backward = false)
{
    const std::int64_t ahead = member.GetCurrentPlayTimeMs() - momentMs;
    return backward ? ahead >= 0 && ahead < kFrameMs : ahead <= 0 && ahead > -kFrameMs;
}

class ModuleFeatures : public ::testing::Test {
protected:
    void SetUp() override { CPlayModule::SetRenderType(PM_RENDER_QT); }
    void TearDown() override { CPlayModule::SetRenderType(PM_RENDER_QT); }

    bool OpenPaused(const std::string& name, unsigned seekSeconds)
    {
        if (!module->Open(Sample(name).c_str()) || !module->Play(nullptr))
            return false;
        module->Pause();
        module->Seek(module->GetFileStartTime() + seekSeconds, 1);
        return listener.WaitFor(
            [&] { return listener.LastFrame().stampMs == std::int64_t(seekSeconds) * 1000; });
    }

    // 50 frames at 25 fps from the given time of 2024-05-01 (UTC).
    static bool MakeTwoSecondsFrom(const std::string& path, const std::string& time)
    {
        SampleSpec spec;
        spec.width = 160;
        spec.height = 120;
        spec.frames = 50;
        spec.bFrames = 0;
        spec.creationTime = "2024-05-01T" + time + "Z";
        return MakeSample(path, spec);
    }

    // Two 2-second files from 10:00:00. The module plays one of them in a
    // group on a hand-driven clock (backward: the later one, from its end),
    // holding the group at its end; readied to play the same way, the other
    // follows the module's end as a play object starts it.
    bool HandOverSetUp(CPlayModule& group, const std::shared_ptr<ManualTimeSource>& wall, CPlayModule& readied,
                       bool backward)
    {
        const std::string first = TempPath(backward ? "handback_a.mp4" : "handover_a.mp4");
        const std::string second = TempPath(backward ? "handback_b.mp4" : "handover_b.mp4");
        if (!MakeTwoSecondsFrom(first, "10:00:00") || !MakeTwoSecondsFrom(second, "10:00:02"))
            return false;
        group.GroupPlay_Open();
        group.SetTimeSource(wall);
        if (module->Open((backward ? second : first).c_str()) != 1 || readied.Open((backward ? first : second).c_str()) != 1)
            return false;
        if (backward && (module->PlayBackward() != 1 || module->Preroll() != 1 || readied.PlayBackward() != 1))
            return false;
        listener.onFileEnd = [&readied](CPlayModule* ended) { readied.PlayIfPrerolled(ended); };
        return module->Play(nullptr) == 1 && group.GroupPlay_AddToPlayGroup(module.get()) == 1 &&
               module->HoldGroupAtEnd(1) == 1 && readied.Preroll() == 1;
    }

    // A group on a hand-driven clock whose one member, readied at its
    // start, holds it at its file's end (10:00:02). The clock reached the
    // end 10 ms before the member did, and stands there.
    bool HeldAtAFileEnd(CPlayModule& group, const std::shared_ptr<ManualTimeSource>& wall)
    {
        const std::string first = TempPath("boundary_a.mp4");
        group.SetTimeSource(wall);
        if (!MakeTwoSecondsFrom(first, "10:00:00") || module->Open(first.c_str()) != 1 ||
            module->Preroll() != 1 || module->HoldGroupAtEnd(1) != 1 || group.GroupPlay_Open() != 1 ||
            group.GroupPlay_AddToPlayGroup(module.get()) != 1)
            return false;
        wall->AdvanceMs(2010);
        return listener.WaitForEnd() &&
               listener.WaitFor([&] { return GroupTimeMs(group) == kClipStartMs + 2000; });
    }

    // The module ("clip.mp4") and another ("later.mp4", a second later) in
    // a group on a manual clock, sought to the clip's second `second`.
    bool GroupOfTwo(CPlayModule& other, RecordingListener& otherListener, CPlayModule& group,
                    const std::shared_ptr<ManualTimeSource>& clock, int second)
    {
        group.SetTimeSource(clock);
        if (module->Open(Sample("clip.mp4").c_str()) != 1 || other.Open(Sample("later.mp4").c_str()) != 1)
            return false;
        module->Play(nullptr);
        other.Play(nullptr);
        if (group.GroupPlay_Open() != 1 || group.GroupPlay_AddToPlayGroup(module.get()) != 1 ||
            group.GroupPlay_AddToPlayGroup(&other) != 1 || group.GroupPlay_Seek(kClipStart + second) != 1)
            return false;
        return listener.WaitFor([&] {
            return listener.LastFrame().stampMs == second * 1000 &&
                   otherListener.LastFrame().stampMs == (second - 1) * 1000;
        });
    }

    RecordingListener listener;
    std::unique_ptr<CPlayModule> module = std::make_unique<CPlayModule>(&listener);
};

}  // namespace

TEST_F(ModuleFeatures, ContainerCreationTimeGivesTheFileTimes)
{
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.timeReports > 0; }));
    EXPECT_EQ(1, module->IsGetFileTimeInfo());
    EXPECT_EQ(kClipStart, listener.reportedStart.load());
    EXPECT_EQ(kClipStart + 4, listener.reportedEnd.load());
    EXPECT_EQ(kClipStart, module->GetFileStartTime());
    EXPECT_EQ(kClipStart + 4, module->GetFileEndTime());
    EXPECT_EQ(4u, module->GetFileLengthOfTime());
}

TEST_F(ModuleFeatures, FileWithoutTimesTakesTheGivenOnes)
{
    ASSERT_TRUE(OpenPaused("clip.avi", 2));
    EXPECT_EQ(0, module->IsGetFileTimeInfo());
    EXPECT_EQ(0, listener.timeReports.load());
    EXPECT_EQ(0u, module->GetFileStartTime());
    EXPECT_EQ(2u, module->GetCurrentPlayTime());

    ASSERT_EQ(1, module->SetFileTimeInfo(5000, 5004));
    EXPECT_EQ(1, module->IsGetFileTimeInfo());
    EXPECT_EQ(5000u, module->GetFileStartTime());
    EXPECT_EQ(5004u, module->GetFileEndTime());
    EXPECT_EQ(5002u, module->GetCurrentPlayTime());
    EXPECT_EQ(2u, module->GetFilePlayedTime());
    ASSERT_EQ(1, module->Seek(5001u, 1));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 1000; }));
    EXPECT_EQ(0, module->SetFileTimeInfo(10, 5));
}

TEST_F(ModuleFeatures, SpeedsFollowTheClock)
{
    auto clock = std::make_shared<ManualTimeSource>();
    module->SetTimeSource(clock);
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    EXPECT_EQ(0, module->SetSpeed(65.0f));
    EXPECT_EQ(0, module->SetSpeed(1.0f / 128));
    EXPECT_EQ(1, module->SetSpeed(1.0f / 64));
    EXPECT_EQ(1, module->SetSpeed(64.0f));
    ASSERT_EQ(1, module->SetSpeed(2.0f));
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_TRUE(listener.WaitForFrames(1));
    EXPECT_EQ(0, listener.LastFrame().stampMs);

    clock->AdvanceMs(1000);  // 2 s of video at 2X
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 2000; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(2000, listener.LastFrame().stampMs);
    EXPECT_EQ(1, module->IsPlaying());

    ASSERT_EQ(1, module->SetSpeed(0.5f));
    clock->AdvanceMs(1000);  // half a second more
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 2480; }, std::chrono::seconds(2))) << listener.LastFrame().stampMs << " " << listener.FrameCount();

    module->Pause();
    const std::size_t shown = listener.FrameCount();
    clock->AdvanceMs(1000);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(shown, listener.FrameCount());
    EXPECT_EQ(0, module->IsPlaying());
    module->Resume();
    clock->AdvanceMs(80);
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 2520; }));
}

TEST_F(ModuleFeatures, HighSpeedDropsFramesRatherThanFallBehind)
{
    auto clock = std::make_shared<ManualTimeSource>();
    module->SetTimeSource(clock);
    ASSERT_EQ(1, module->Open(Sample("clip.ts").c_str()));
    ASSERT_EQ(1, module->SetSpeed(64.0f));
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_TRUE(listener.WaitForFrames(1));
    clock->AdvanceMs(100);  // 6.4 s of video: past the end
    ASSERT_TRUE(listener.WaitForEnd());
    EXPECT_LT(listener.FrameCount(), 20u);
    for (const ShownFrame& frame : listener.Frames())
        EXPECT_EQ(1, frame.key) << frame.stampMs;
}

TEST_F(ModuleFeatures, RenderKindsLayTheChromaPlanesOutAsAsked)
{
    CPlayModule::SetRenderType(PM_RENDER_DDRAW);
    ASSERT_TRUE(OpenPaused("clip.mp4", 1));
    ShownFrame frame = listener.LastFrame();
    EXPECT_EQ(1, frame.kind);
    EXPECT_NEAR(64, frame.firstChroma, 3);   // U
    EXPECT_NEAR(192, frame.secondChroma, 3); // V

    CPlayModule::SetRenderType(PM_RENDER_QT);
    listener.ClearFrames();
    module->Seek(kClipStart + 2, 1);
    ASSERT_TRUE(listener.WaitForFrames(1));
    frame = listener.LastFrame();
    EXPECT_EQ(2, frame.kind);
    EXPECT_NEAR(192, frame.firstChroma, 3);  // V
    EXPECT_NEAR(64, frame.secondChroma, 3);  // U
}

TEST_F(ModuleFeatures, SnapshotsDecodeBackToTheShownFrame)
{
    ASSERT_TRUE(OpenPaused("clip.mp4", 1));
    const std::vector<std::uint8_t> shown = listener.lastPicture;
    PLAY_MODULE_TEST::CSampleFolder folder;
    for (PM_IMAGE_TYPE type : {PM_IMAGE_JPEG, PM_IMAGE_BMP}) {
        const std::string path = folder.File(type == PM_IMAGE_JPEG ? "shot.jpg" : "shot.bmp");
        ASSERT_EQ(1, module->SnapPicture(path.c_str(), type));
        const LumaImage image = DecodeImageLuma(path);
        ASSERT_EQ(320, image.width) << path;
        ASSERT_EQ(240, image.height);
        EXPECT_LT(MeanDifference(image.luma.data(), shown.data(), image.luma.size()), 3.0) << path;
    }
    EXPECT_EQ(0, module->SnapPicture(folder.File("no/such/folder/shot.jpg").c_str(), PM_IMAGE_JPEG));
    EXPECT_FALSE(std::filesystem::exists(folder.File("no/such/folder/shot.jpg.tmp")));
}

TEST_F(ModuleFeatures, MediaInfoAndColourSettings)
{
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    MEDIA_INFO info;
    ASSERT_EQ(1, module->GetMediaInfo(&info));
    EXPECT_EQ(320, info.nWidth);
    EXPECT_EQ(240, info.nHeight);
    EXPECT_EQ(25, info.nFrameRate);
    EXPECT_EQ(4000u, info.nDurationMs);
    EXPECT_EQ(16000, info.nAudioSampleRate);
    EXPECT_EQ(25, module->GetCurrentVideoFrameRate());
    EXPECT_EQ(0, module->GetMediaInfo(nullptr));

    ASSERT_EQ(1, module->SetColor(90, 64, 64, 64));
    int b = 0, c = 0, s = 0, h = 0;
    ASSERT_EQ(1, module->GetColor(&b, &c, &s, &h));
    EXPECT_EQ(90, b);
    ASSERT_EQ(1, module->Play(nullptr));
    module->Pause();
    module->Seek(kClipStart + 1, 1);
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 1000; }));
    // Brighter picture: the frame-number block is lifted by (90 - 64) * 2.
    EXPECT_NEAR(16 + 25 * 8 % 200 + 52, int(listener.LastFrame().numberBlock), 4);
}

TEST_F(ModuleFeatures, GroupKeepsChannelsInStepAfterSeekAndSpeedChange)
{
    RecordingListener otherListener;
    CPlayModule other(&otherListener);
    CPlayModule group;
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    ASSERT_EQ(1, other.Open(Sample("later.mp4").c_str()));
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_EQ(1, other.Play(nullptr));
    EXPECT_EQ(0, module->GroupPlay_Open());  // a module with a listener is no group
    ASSERT_EQ(1, group.GroupPlay_Open());
    ASSERT_EQ(1, group.GroupPlay_AddToPlayGroup(module.get()));
    ASSERT_EQ(1, group.GroupPlay_AddToPlayGroup(&other));

    // Positions are compared with the group paused: read while playing, the
    // two reads would be apart by however long the machine takes between them.
    // A member that lagged when the group paused catches up on its own
    // thread: wait until both show the frame of the group's moment.
    auto pauseInStep = [&] {
        ASSERT_EQ(1, group.GroupPlay_Pause());
        const std::int64_t moment = GroupTimeMs(group);
        ASSERT_TRUE(listener.WaitFor(
            [&] { return ShowsMoment(*module, moment) && ShowsMoment(other, moment); },
            std::chrono::seconds(10)))
            << moment - module->GetCurrentPlayTimeMs() << " " << moment - other.GetCurrentPlayTimeMs();
        ASSERT_TRUE(listener.WaitUntilQuiet());
        ASSERT_TRUE(otherListener.WaitUntilQuiet());
        EXPECT_LE(std::llabs(module->GetCurrentPlayTimeMs() - other.GetCurrentPlayTimeMs()), 40);
    };
    ASSERT_EQ(1, group.GroupPlay_Seek(kClipStart + 2));
    ASSERT_TRUE(otherListener.WaitFor([&] { return otherListener.LastFrame().stampMs >= 1000; }));
    ASSERT_TRUE(listener.WaitFor([&] { return GroupTimeMs(group) >= kClipStartMs + 2300; }));
    pauseInStep();
    EXPECT_GT(module->GetCurrentPlayTimeMs(), std::int64_t(kClipStart + 2) * 1000);
    ASSERT_EQ(1, group.GroupPlay_Resume());

    ASSERT_EQ(1, group.GroupPlay_SetPlaySpeed(4.0f));
    const std::int64_t before4x = GroupTimeMs(group);
    ASSERT_TRUE(listener.WaitFor([&] { return GroupTimeMs(group) >= before4x + 800; }));
    pauseInStep();

    __DATETIME_INFO time;
    ASSERT_EQ(1, group.GroupPlay_QueryGroupPlayingTime(&time));
    EXPECT_EQ(2024, time.nYear);

    const std::int64_t paused = module->GetCurrentPlayTimeMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(paused, module->GetCurrentPlayTimeMs());
    ASSERT_EQ(1, group.GroupPlay_StepForward());
    ASSERT_TRUE(listener.WaitFor([&] { return module->GetCurrentPlayTimeMs() == paused + 40; }));

    ASSERT_EQ(1, group.GroupPlay_DelFromPlayGroup(&other));
    EXPECT_EQ(0, group.GroupPlay_DelFromPlayGroup(&other));
    ASSERT_EQ(1, group.GroupPlay_Close());
    EXPECT_EQ(0, group.GroupPlay_Seek(kClipStart));
}

TEST_F(ModuleFeatures, ClosingWhileAFrameCallbackBlocksReturnsPromptly)
{
    listener.drawn.Create(0, 0);
    listener.blockFrames = true;
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.insideFrame.load(); }));
    // Drawing one frame lets exactly the next one come.
    listener.drawn.Set();
    ASSERT_TRUE(listener.WaitForFrames(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(2u, listener.FrameCount());
    EXPECT_EQ(1, listener.releases.load());
    ASSERT_TRUE(listener.WaitFor([&] { return listener.insideFrame.load(); }));
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(1, module->Close());
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
    const std::size_t frames = listener.FrameCount();
    const int blocks = listener.streamBlocks;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(frames, listener.FrameCount());
    EXPECT_EQ(blocks, listener.streamBlocks.load());
    EXPECT_FALSE(listener.insideFrame.load());
}

TEST_F(ModuleFeatures, DestroyingWhilePlayingStopsEveryCallback)
{
    for (int round = 0; round < 5; ++round) {
        RecordingListener local;
        auto player = std::make_unique<CPlayModule>(&local);
        ASSERT_EQ(1, player->Open(Sample(round % 2 ? "clip.ts" : "clip.mp4").c_str()));
        player->SetSpeed(8.0f);
        player->Play(nullptr);
        player->StepBackward();
        player->Seek(50.0f);
        std::this_thread::sleep_for(std::chrono::milliseconds(round * 5));
        player.reset();
        const std::size_t frames = local.FrameCount();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(frames, local.FrameCount());
    }
}

TEST_F(ModuleFeatures, BadFilesAreRefusedOrPlayedAsFarAsTheyGo)
{
    PLAY_MODULE_TEST::CSampleFolder folder;
    EXPECT_EQ(0, module->Open(folder.File("missing.mp4").c_str()));
    EXPECT_EQ(0, module->Open(nullptr));
    // Names that look like other protocols are plain local files.
    const std::string clip = Sample("clip.ts");
    EXPECT_EQ(0, module->Open(("concat:" + clip + "|" + clip).c_str()));
    const std::string oddName = folder.File("a:b|c%20 \xff.ts");
    std::filesystem::copy_file(clip, oddName);
    EXPECT_EQ(1, module->Open(oddName.c_str()));
    std::vector<std::uint8_t> noise(100000);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = std::uint8_t((i * 2654435761u) >> 13);
    ASSERT_TRUE(PLAY_MODULE_TEST::WriteFileBytes(folder.File("noise.ts"), noise));
    EXPECT_EQ(0, module->Open(folder.File("noise.ts").c_str()));
    // Still images (here the start of a JPEG XL codestream) are not recordings:
    // refused before any image decoder sees them.
    std::vector<std::uint8_t> image = {0xff, 0x0a, 0x13, 0x13, 0x13, 0x13, 0x13, 0x13, 0xff, 0x0a};
    image.resize(4096, 0x0a);
    ASSERT_TRUE(PLAY_MODULE_TEST::WriteFileBytes(folder.File("picture.mp4"), image));
    EXPECT_EQ(0, module->Open(folder.File("picture.mp4").c_str()));
    ASSERT_TRUE(PLAY_MODULE_TEST::WriteFileBytes(folder.File("empty.kvx"), {}));
    EXPECT_EQ(0, module->Open(folder.File("empty.kvx").c_str()));
    EXPECT_EQ(0, module->Play(nullptr));
    EXPECT_EQ(0, module->Seek(1u, 1));
    EXPECT_EQ(0, module->StepForward());

    // A transport stream with damage in the middle and a cut-off end.
    auto bytes = PLAY_MODULE_TEST::ReadFileBytes(Sample("clip.ts"));
    for (std::size_t i = bytes.size() / 3; i < bytes.size() / 3 + 2000; ++i)
        bytes[i] = std::uint8_t(i * 13);
    bytes.resize(bytes.size() * 9 / 10);
    ASSERT_TRUE(PLAY_MODULE_TEST::WriteFileBytes(folder.File("damaged.ts"), bytes));
    module->SetTimeSource(std::make_shared<RushingTimeSource>());
    ASSERT_EQ(1, module->Open(folder.File("damaged.ts").c_str()));
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_TRUE(listener.WaitForEnd());
    const auto frames = listener.Frames();
    ASSERT_GT(frames.size(), 40u);
    EXPECT_EQ(0, frames.front().stampMs);
    EXPECT_GT(frames.back().stampMs, 2500);
}

TEST_F(ModuleFeatures, SoundNeverHoldsUpThePictures)
{
    module->SetTimeSource(std::make_shared<RushingTimeSource>());
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    const int opened = module->OpenAudio();  // 0 without a sound server
    EXPECT_EQ(1, module->SetVolume(50));
    EXPECT_EQ(50, module->GetVolume());
    EXPECT_EQ(1, module->AdjustWaveAudio(80));
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_TRUE(listener.WaitForEnd());
    EXPECT_EQ(100u, listener.FrameCount());
    EXPECT_EQ(opened, module->CloseAudio());
}

TEST_F(ModuleFeatures, RecordingAnotherContainerWritesAPlayableRecording)
{
    PLAY_MODULE_TEST::CSampleFolder folder;
    const std::string copy = folder.File("from_mp4.kvx");
    module->SetTimeSource(std::make_shared<RushingTimeSource>());
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    EXPECT_EQ(0, module->StartDataRecord(copy.c_str(), 1));
    EXPECT_EQ(0, module->StartDataRecord(folder.File("missing/from_mp4.kvx").c_str(), 0));
    ASSERT_EQ(1, module->StartDataRecord(copy.c_str(), 0));
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_TRUE(listener.WaitForEnd());
    ASSERT_EQ(1, module->StopDataRecord());

    RecordingListener playback;
    CPlayModule copyModule(&playback);
    copyModule.SetTimeSource(std::make_shared<RushingTimeSource>());
    ASSERT_EQ(1, copyModule.Open(copy.c_str()));
    EXPECT_EQ(kClipStart, copyModule.GetFileStartTime());
    ASSERT_EQ(1, copyModule.Play(nullptr));
    ASSERT_TRUE(playback.WaitForEnd());
    EXPECT_EQ(100u, playback.FrameCount());
}

TEST_F(ModuleFeatures, RecordingThatGotNoFrameLeavesNoFile)
{
    PLAY_MODULE_TEST::CSampleFolder folder;
    const std::string copy = folder.File("nothing.kvx");
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    ASSERT_EQ(1, module->StartDataRecord(copy.c_str(), 0));
    // Not played: no key frame came, so there is no recording.
    EXPECT_EQ(0, module->StopDataRecord());
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_FALSE(std::filesystem::exists(copy + "_"));
}

TEST_F(ModuleFeatures, KeyFramePositionsOfOtherContainers)
{
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.refFinished > 0; }));
    EXPECT_EQ(1, listener.refResult.load());
    FRAME_POS key, next, last;
    ASSERT_EQ(1, module->GetKeyFramePos(kClipStart + 2, &key));
    ASSERT_EQ(1, module->GetNextKeyFramePos(kClipStart + 2, &next));
    ASSERT_EQ(1, module->GetNextKeyFramePos(kClipStart + 3, &last));
    EXPECT_EQ(std::int64_t(kClipStart + 2) * 1000, key.nFrameTimeMs);
    EXPECT_EQ(kClipStart + 2, key.nFrameTime);
    EXPECT_EQ(std::int64_t(kClipStart + 3) * 1000, next.nFrameTimeMs);
    EXPECT_GT(next.nFilePos, key.nFilePos);
    EXPECT_EQ(std::int64_t(std::filesystem::file_size(Sample("clip.mp4"))), last.nFilePos);

    _SYSTEMTIME local = LocalSystemTime(std::int64_t(kClipStart + 1) * 1000);
    local.wMilliseconds = 500;
    FRAME_POS byTime;
    ASSERT_EQ(1, module->GetKeyFramePosByAbsTime(local, byTime));
    EXPECT_EQ(std::int64_t(kClipStart + 1) * 1000, byTime.nFrameTimeMs);
    ASSERT_EQ(1, module->GetNextKeyFramePosByAbsTime(local, byTime));
    EXPECT_EQ(std::int64_t(kClipStart + 2) * 1000, byTime.nFrameTimeMs);
}

TEST_F(ModuleFeatures, AFileWithoutTimesHasAKeyFrameAtTheFirstSecondOf1970)
{
    ASSERT_EQ(1, module->Open(Sample("clip.avi").c_str()));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.refFinished > 0; }));
    ASSERT_EQ(0u, module->GetFileStartTime());
    FRAME_POS byOffset;
    ASSERT_EQ(1, module->GetKeyFramePos(0, &byOffset));
    _SYSTEMTIME local = LocalSystemTime(0);  // 1970-01-01 00:00:00 UTC as local time
    FRAME_POS byTime;
    ASSERT_EQ(1, module->GetKeyFramePosByAbsTime(local, byTime));
    EXPECT_EQ(byOffset.nFilePos, byTime.nFilePos);
    EXPECT_EQ(0, byTime.nFrameTimeMs);
    local.wMonth = 13;
    EXPECT_EQ(0, module->GetKeyFramePosByAbsTime(local, byTime));
}

TEST_F(ModuleFeatures, ADamagedPresentationTimeIsNeverWaitedFor)
{
    SampleSpec spec;
    spec.format = "ps";
    spec.damagedPtsPacket = 50;  // 47,727 s late, its decoding time sane
    const std::string path = TempPath("damaged-pts.ps");
    ASSERT_TRUE(MakeSample(path, spec));
    ASSERT_EQ(1, module->Open(path.c_str()));
    ASSERT_EQ(1, module->SetSpeed(8));
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_TRUE(listener.WaitForEnd(1, std::chrono::seconds(20)));
    EXPECT_EQ(0, module->IsPlaying());
    // Play went on past the damaged frame (at 2 s) to the end; late
    // pictures at 8X may be dropped on a busy machine.
    const auto frames = listener.Frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_GT(frames.back().stampMs, 2000);
    for (const auto& frame : frames)
        EXPECT_LT(frame.stampMs, 4000);

    // Stepping back over it goes frame by frame.
    module->Pause();
    ASSERT_EQ(1, module->Seek(module->GetFileStartTime() + 3, 1));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 3000; }));
    std::int64_t previous = 3000;
    for (int step = 0; step < 40; ++step) {
        ASSERT_EQ(1, module->StepBackward());
        const std::int64_t now = listener.LastFrame().stampMs;
        EXPECT_GT(previous - now, 0) << step;
        EXPECT_LE(previous - now, 3 * kFrameMs) << step;
        previous = now;
    }
}

TEST_F(ModuleFeatures, GroupPlaysBackwardAndStepsBackTogether)
{
    RecordingListener otherListener;
    CPlayModule other(&otherListener);
    CPlayModule group;
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    ASSERT_EQ(1, other.Open(Sample("later.mp4").c_str()));
    module->Play(nullptr);
    other.Play(nullptr);
    ASSERT_EQ(1, group.GroupPlay_Open());
    ASSERT_EQ(1, group.GroupPlay_AddToPlayGroup(module.get()));
    ASSERT_EQ(1, group.GroupPlay_AddToPlayGroup(&other));
    const std::size_t shownBeforeSeek = otherListener.FrameCount();
    ASSERT_EQ(1, group.GroupPlay_Seek(kClipStart + 3));
    ASSERT_TRUE(otherListener.WaitForFrameAt(2000, shownBeforeSeek));
    ASSERT_EQ(1, group.GroupPlay_PlayBackward());
    ASSERT_TRUE(listener.WaitFor([&] { return GroupTimeMs(group) <= kClipStartMs + 2700; }));
    // Compared paused: two reads while playing are apart by the time between them.
    ASSERT_EQ(1, group.GroupPlay_Pause());
    const std::int64_t moment = GroupTimeMs(group);
    ASSERT_TRUE(listener.WaitFor(
        [&] { return ShowsMoment(*module, moment, true) && ShowsMoment(other, moment, true); },
        std::chrono::seconds(10)));
    ASSERT_TRUE(listener.WaitUntilQuiet());
    ASSERT_TRUE(otherListener.WaitUntilQuiet());
    const std::int64_t first = module->GetCurrentPlayTimeMs();
    EXPECT_LT(first, std::int64_t(kClipStart + 3) * 1000);
    EXPECT_LE(std::llabs(first - other.GetCurrentPlayTimeMs()), 40);
    const std::int64_t paused = module->GetCurrentPlayTimeMs();
    const std::int64_t otherPaused = other.GetCurrentPlayTimeMs();
    ASSERT_EQ(1, group.GroupPlay_StepBackward());
    ASSERT_TRUE(listener.WaitFor([&] {
        return module->GetCurrentPlayTimeMs() == paused - 40 &&
               other.GetCurrentPlayTimeMs() == otherPaused - 40;
    }));
    ASSERT_EQ(1, group.GroupPlay_PlayForward());
    ASSERT_EQ(1, group.GroupPlay_Resume());
    ASSERT_TRUE(listener.WaitFor([&] { return module->GetCurrentPlayTimeMs() > paused; }));
    ASSERT_EQ(1, group.GroupPlay_Pause());
    const std::int64_t resumed = GroupTimeMs(group);
    ASSERT_TRUE(listener.WaitFor(
        [&] { return ShowsMoment(*module, resumed) && ShowsMoment(other, resumed); },
        std::chrono::seconds(10)));
    EXPECT_GT(module->GetCurrentPlayTimeMs(), paused);
    EXPECT_LE(std::llabs(module->GetCurrentPlayTimeMs() - other.GetCurrentPlayTimeMs()), 40);
}

TEST_F(ModuleFeatures, GroupPauseBringsALaggingMemberToTheGroupsMoment)
{
    RecordingListener otherListener;
    CPlayModule other(&otherListener);
    CPlayModule group;
    auto clock = std::make_shared<ManualTimeSource>();
    ASSERT_TRUE(GroupOfTwo(other, otherListener, group, clock, 2));

    // The other member's GUI holds its next frame: it falls behind by a second.
    otherListener.drawn.Create(0, 0);
    otherListener.blockFrames = true;
    clock->AdvanceMs(kFrameMs);
    ASSERT_TRUE(otherListener.WaitFor([&] { return otherListener.insideFrame.load(); }));
    EXPECT_EQ(1040, otherListener.LastFrame().stampMs);
    clock->AdvanceMs(1000);
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 3040; }));

    ASSERT_EQ(1, group.GroupPlay_Pause());
    EXPECT_EQ(kClipStartMs + 3040, GroupTimeMs(group));
    const std::size_t shown = listener.FrameCount();
    const std::size_t otherShown = otherListener.FrameCount();
    otherListener.blockFrames = false;
    otherListener.drawn.Set();
    // It catches up to the paused moment and shows that frame alone.
    ASSERT_TRUE(otherListener.WaitFor([&] { return otherListener.LastFrame().stampMs == 2040; },
                                      std::chrono::seconds(5)))
        << otherListener.LastFrame().stampMs;
    ASSERT_TRUE(otherListener.WaitUntilQuiet());
    EXPECT_EQ(otherShown + 1, otherListener.FrameCount());
    EXPECT_EQ(kClipStartMs + 3040, other.GetCurrentPlayTimeMs());
    EXPECT_EQ(module->GetCurrentPlayTimeMs(), other.GetCurrentPlayTimeMs());
    EXPECT_EQ(shown, listener.FrameCount());

    // A member stepped on its own is ahead of the group: pausing the group
    // brings it back to the group's moment.
    ASSERT_EQ(1, other.StepForward());
    ASSERT_TRUE(otherListener.WaitFor([&] { return otherListener.LastFrame().stampMs == 2080; }));
    ASSERT_EQ(1, group.GroupPlay_Pause());
    ASSERT_TRUE(otherListener.WaitFor([&] { return otherListener.LastFrame().stampMs == 2040; },
                                      std::chrono::seconds(5)));
    EXPECT_EQ(module->GetCurrentPlayTimeMs(), other.GetCurrentPlayTimeMs());

    // Resumed, both go on from the moment together.
    ASSERT_EQ(1, group.GroupPlay_Resume());
    clock->AdvanceMs(kFrameMs);
    ASSERT_TRUE(listener.WaitFor([&] {
        return listener.LastFrame().stampMs == 3080 && otherListener.LastFrame().stampMs == 2080;
    }));
}

// A starved member (its GUI holds a frame) falls 1.5 s behind at 1X, forward
// or backward: freed, it shows the group's moment next instead of the frames
// in between.
void ExpectStarvedMemberToGoToTheGroupsMoment(CPlayModule& module, RecordingListener& listener, bool backward)
{
    RecordingListener otherListener;
    CPlayModule other(&otherListener);
    CPlayModule group;
    auto clock = std::make_shared<ManualTimeSource>();
    group.SetTimeSource(clock);
    ASSERT_EQ(1, module.Open(Sample("clip.mp4").c_str()));
    ASSERT_EQ(1, other.Open(Sample("later.mp4").c_str()));
    module.Play(nullptr);
    other.Play(nullptr);
    ASSERT_EQ(1, group.GroupPlay_Open());
    ASSERT_EQ(1, group.GroupPlay_AddToPlayGroup(&module));
    ASSERT_EQ(1, group.GroupPlay_AddToPlayGroup(&other));
    const std::int64_t fromMs = backward ? 3000 : 2000;
    ASSERT_EQ(1, group.GroupPlay_Seek(kClipStart + unsigned(fromMs / 1000)));
    ASSERT_TRUE(listener.WaitFor([&] {
        return listener.LastFrame().stampMs == fromMs && otherListener.LastFrame().stampMs == fromMs - 1000;
    }));
    if (backward) {
        ASSERT_EQ(1, group.GroupPlay_PlayBackward());
    }
    const std::int64_t sign = backward ? -1 : 1;

    otherListener.drawn.Create(0, 0);
    otherListener.blockFrames = true;
    AdvanceGroupMs(group, *clock, kFrameMs);
    ASSERT_TRUE(otherListener.WaitFor([&] { return otherListener.insideFrame.load(); }));
    AdvanceGroupMs(group, *clock, 1500);
    // Forward the last frame at or before the moment, backward the first at or after it.
    const std::int64_t momentMs = fromMs + sign * 1540;
    const std::int64_t frameMs = backward ? momentMs + kFrameMs / 2 : momentMs - kFrameMs / 2;
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == frameMs; }))
        << listener.LastFrame().stampMs;
    const std::size_t otherShown = otherListener.FrameCount();
    otherListener.blockFrames = false;
    otherListener.drawn.Set();

    ASSERT_TRUE(otherListener.WaitFor([&] { return otherListener.LastFrame().stampMs == frameMs - 1000; },
                                      std::chrono::seconds(10)))
        << otherListener.LastFrame().stampMs;
    EXPECT_LE(otherListener.FrameCount(), otherShown + 2);
    EXPECT_EQ(module.GetCurrentPlayTimeMs(), other.GetCurrentPlayTimeMs());
}

TEST_F(ModuleFeatures, AMemberFarBehindTheGroupGoesToItsMomentAtNormalSpeed)
{
    ExpectStarvedMemberToGoToTheGroupsMoment(*module, listener, false);
}

TEST_F(ModuleFeatures, AMemberFarBehindTheGroupInReverseGoesToItsMoment)
{
    ExpectStarvedMemberToGoToTheGroupsMoment(*module, listener, true);
}

// The group's clock runs past its members' start in reverse while they are
// far behind it (a slow decoder): each still shows its first frame and ends
// there, and each goes on at once when the group turns forward.
TEST_F(ModuleFeatures, MembersFarBehindAGroupThatReversedPastTheirStartShowTheirFirstFrame)
{
    RecordingListener otherListener;
    CPlayModule other(&otherListener);
    CPlayModule group;
    auto clock = std::make_shared<ManualTimeSource>();
    ASSERT_TRUE(GroupOfTwo(other, otherListener, group, clock, 3));
    ASSERT_EQ(1, group.GroupPlay_PlayBackward());

    clock->AdvanceMs(4000);
    ASSERT_TRUE(listener.WaitForEnd()) << listener.LastFrame().stampMs;
    ASSERT_TRUE(otherListener.WaitForEnd()) << otherListener.LastFrame().stampMs;
    EXPECT_EQ(0, listener.LastFrame().stampMs);
    EXPECT_EQ(0, otherListener.LastFrame().stampMs);
    EXPECT_TRUE(listener.lastEndBackward && otherListener.lastEndBackward) << "reported as an end forward";

    ASSERT_EQ(1, group.GroupPlay_PlayForward());
    clock->AdvanceMs(1000 + kFrameMs);
    EXPECT_TRUE(listener.WaitFor([&] {
        return listener.LastFrame().stampMs == 1040 && otherListener.LastFrame().stampMs == 40;
    })) << listener.LastFrame().stampMs << " " << otherListener.LastFrame().stampMs;
}

TEST_F(ModuleFeatures, APausedModuleThatLaggedShowsThePausedMoment)
{
    auto clock = std::make_shared<ManualTimeSource>();
    module->SetTimeSource(clock);
    listener.drawn.Create(0, 0);
    listener.blockFrames = true;
    ASSERT_EQ(1, module->Open(Sample("clip.ts").c_str()));
    ASSERT_EQ(1, module->Play(nullptr));
    // The GUI holds the first frame while a second and a half go by.
    ASSERT_TRUE(listener.WaitFor([&] { return listener.insideFrame.load(); }));
    clock->AdvanceMs(1500);
    ASSERT_EQ(1, module->Pause());
    listener.blockFrames = false;
    listener.drawn.Set();
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 1480; },
                                 std::chrono::seconds(5)))
        << listener.LastFrame().stampMs;
    ASSERT_TRUE(listener.WaitUntilQuiet());
    EXPECT_EQ(2u, listener.FrameCount());
    EXPECT_EQ(1480, module->GetCurrentPlayTimeMs());
    EXPECT_EQ(0, module->IsPlaying());

    // Backward the moment's frame is the first one at or after it.
    ASSERT_EQ(1, module->PlayBackward());
    ASSERT_EQ(1, module->Resume());
    listener.drawn.Reset();
    listener.blockFrames = true;
    ASSERT_TRUE(AdvanceUntilShown(*clock, listener, 10, [&] { return listener.LastFrame().stampMs == 1440; }));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.insideFrame.load(); }));
    clock->AdvanceMs(500 - 10);
    ASSERT_EQ(1, module->Pause());
    listener.blockFrames = false;
    listener.drawn.Set();
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 960; },
                                 std::chrono::seconds(5)))
        << listener.LastFrame().stampMs;
    ASSERT_TRUE(listener.WaitUntilQuiet());
    EXPECT_EQ(4u, listener.FrameCount());
}

TEST_F(ModuleFeatures, StepsAndSeeksAreDoneWhenTheCallReturns)
{
    ASSERT_EQ(1, module->Open(Sample("clip.ts").c_str()));
    ASSERT_EQ(1, module->Play(nullptr));
    // Paused, so that a loaded machine reading late does not see play go on.
    ASSERT_EQ(1, module->Pause());
    ASSERT_EQ(1, module->Seek(2u, 1));
    EXPECT_EQ(2000, module->GetCurrentPlayTimeMs());
    EXPECT_EQ(2000, listener.LastFrame().stampMs);
    for (int i = 1; i <= 3; ++i) {
        ASSERT_EQ(1, module->StepForward());
        EXPECT_EQ(2000 + 40 * i, module->GetCurrentPlayTimeMs());
    }
    for (int i = 1; i <= 5; ++i) {
        ASSERT_EQ(1, module->StepBackward());
        EXPECT_EQ(2120 - 40 * i, module->GetCurrentPlayTimeMs());
    }
    EXPECT_EQ(1920, listener.LastFrame().stampMs);
    EXPECT_EQ(0, module->IsPlaying());
}

TEST_F(ModuleFeatures, SeekingToTheEndShowsTheLastFrame)
{
    ASSERT_EQ(1, module->Open(Sample("clip.avi").c_str()));
    ASSERT_EQ(1, module->Play(nullptr));
    module->Pause();
    ASSERT_EQ(1, module->Seek(100.0f));
    EXPECT_EQ(3960, listener.LastFrame().stampMs);
    EXPECT_EQ(0, module->Seek(-1.0f));
    EXPECT_EQ(0, module->Seek(100.5f));
    EXPECT_EQ(0, module->Seek(60u, 1));
    ASSERT_EQ(1, module->StepBackward());
    EXPECT_EQ(3920, listener.LastFrame().stampMs);
    ASSERT_EQ(1, module->StepForward());
    EXPECT_EQ(3960, listener.LastFrame().stampMs);
    ASSERT_EQ(1, module->StepForward());
    EXPECT_TRUE(listener.WaitForEnd());
    EXPECT_EQ(3960, listener.LastFrame().stampMs);
}

TEST_F(ModuleFeatures, ExactSeeksAcrossLongStreams)
{
    for (const char* format : {"ps", "mpegts"}) {
        SampleSpec spec;
        spec.format = format;
        spec.width = 160;
        spec.height = 120;
        spec.frames = 25 * 60;
        spec.gop = 50;
        const std::string path = TempPath(std::string("long_") + format);
        ASSERT_TRUE(MakeSample(path, spec));
        RecordingListener local;
        CPlayModule player(&local);
        ASSERT_EQ(1, player.Open(path.c_str()));
        ASSERT_EQ(1, player.Play(nullptr));
        player.Pause();
        // A busy machine may hand the picture over after the call's wait.
        auto shows = [&](std::int64_t ms) { return local.WaitFor([&] { return local.LastFrame().stampMs == ms; }); };
        for (unsigned second : {33u, 7u, 59u, 1u, 48u}) {
            ASSERT_EQ(1, player.Seek(second, 1)) << format << " " << second;
            EXPECT_TRUE(shows(std::int64_t(second) * 1000)) << format << " " << local.LastFrame().stampMs;
            ASSERT_EQ(1, player.StepBackward());
            EXPECT_TRUE(shows(std::int64_t(second) * 1000 - 40)) << format << " " << local.LastFrame().stampMs;
        }
    }
}

TEST_F(ModuleFeatures, AMemberJoiningElsewhereMovesToTheGroupsMoment)
{
    RecordingListener otherListener;
    CPlayModule other(&otherListener);
    CPlayModule group;
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    ASSERT_EQ(1, other.Open(Sample("later.mp4").c_str()));
    module->Play(nullptr);
    module->Pause();
    ASSERT_EQ(1, module->Seek(kClipStart + 3, 1));
    other.Play(nullptr);
    other.Pause();
    ASSERT_EQ(1, group.GroupPlay_Open());
    ASSERT_EQ(1, group.GroupPlay_AddToPlayGroup(module.get()));
    ASSERT_EQ(1, group.GroupPlay_Pause());
    ASSERT_EQ(1, group.GroupPlay_AddToPlayGroup(&other));
    // later.mp4 starts a second later: its frame of the group's moment is at 2 s.
    EXPECT_EQ(2000, otherListener.LastFrame().stampMs);
    EXPECT_EQ(module->GetCurrentPlayTimeMs(), other.GetCurrentPlayTimeMs());
    EXPECT_LT(otherListener.FrameCount(), 5u);
}

TEST_F(ModuleFeatures, ReversePlayThroughGroupsLongerThanTheKeptBlock)
{
    SampleSpec spec;
    spec.format = "mp4";
    spec.width = 160;
    spec.height = 120;
    spec.frames = 250;
    spec.gop = 125;  // five seconds: more frames than one decoded block keeps
    const std::string path = TempPath("long_gop.mp4");
    ASSERT_TRUE(MakeSample(path, spec));
    module->SetTimeSource(std::make_shared<RushingTimeSource>());
    ASSERT_EQ(1, module->Open(path.c_str()));
    ASSERT_EQ(1, module->Play(nullptr));
    module->Pause();
    ASSERT_EQ(1, module->Seek(8u, 1));
    listener.ClearFrames();
    ASSERT_EQ(1, module->PlayBackward());
    module->Resume();
    ASSERT_TRUE(listener.WaitForEnd());
    const auto frames = listener.Frames();
    ASSERT_EQ(200u, frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i)
        ASSERT_EQ(8000 - std::int64_t(i + 1) * 40, frames[i].stampMs) << i;
}

TEST_F(ModuleFeatures, CallsFromTwoThreadsWhilePlaying)
{
    PLAY_MODULE_TEST::CSampleFolder folder;
    ASSERT_EQ(1, module->Open(Sample("clip.ts").c_str()));
    ASSERT_EQ(1, module->SetSpeed(4.0f));
    ASSERT_EQ(1, module->Play(nullptr));
    std::atomic<bool> done{false};
    std::thread reader([&] {
        MEDIA_INFO info;
        unsigned length = 0;
        while (!done) {
            module->GetCurrentPlayTime();
            module->GetMediaInfo(&info);
            module->IsPlaying();
            module->GetRefValue(nullptr, &length);
            module->SnapPicture(folder.File("race.jpg").c_str(), PM_IMAGE_JPEG);
        }
    });
    for (int round = 0; round < 20; ++round) {
        module->Seek(float(round * 5 % 100));
        module->SetPlayDirection(round % 3 == 0 ? 0 : 1);
        module->SetSpeed(round % 2 ? 2.0f : 0.5f);
        if (round % 4 == 0)
            module->StepBackward();
        module->Resume();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    done = true;
    reader.join();
    EXPECT_EQ(1, module->Close());
    EXPECT_GT(listener.FrameCount(), 10u);
}

TEST_F(ModuleFeatures, FastReversePlayShowsKeyFramesRatherThanFallBehind)
{
    auto clock = std::make_shared<ManualTimeSource>();
    module->SetTimeSource(clock);
    ASSERT_EQ(1, module->Open(Sample("clip.ts").c_str()));
    ASSERT_EQ(1, module->Play(nullptr));
    module->Pause();
    ASSERT_EQ(1, module->Seek(100.0f));
    ASSERT_EQ(1, module->SetSpeed(64.0f));
    ASSERT_EQ(1, module->PlayBackward());
    listener.ClearFrames();
    module->Resume();
    // 6.4 s of video backward: past the start (again while the turn held it).
    bool ended = false;
    for (int i = 0; i < 100 && !ended; ++i) {
        clock->AdvanceMs(100);
        ended = listener.WaitForEnd(1, std::chrono::seconds(2));
    }
    ASSERT_TRUE(ended);
    const auto frames = listener.Frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_LT(frames.size(), 10u);
    for (std::size_t i = 1; i < frames.size(); ++i) {
        EXPECT_EQ(1, frames[i].key) << frames[i].stampMs;
        EXPECT_LT(frames[i].stampMs, frames[i - 1].stampMs);
    }
    // Key by key down to the first frame, where the file ends.
    EXPECT_EQ(0, frames.back().stampMs);
    // A step afterwards still shows the very previous frame.
    ASSERT_EQ(1, module->Seek(2u, 1));
    ASSERT_EQ(1, module->StepBackward());
    EXPECT_EQ(1960, listener.LastFrame().stampMs);
}

TEST_F(ModuleFeatures, SoundOpensAndClosesWhilePlaying)
{
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    if (!module->OpenAudio())
        GTEST_SKIP() << "no sound device";
    ASSERT_EQ(1, module->Play(nullptr));
    for (int round = 0; round < 5; ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        EXPECT_EQ(1, module->CloseAudio());
        EXPECT_EQ(1, module->OpenAudio());
        module->Pause();
        module->Resume();
    }
    EXPECT_EQ(1, module->Close());
}

TEST_F(ModuleFeatures, AModulePlaysInOneGroupAtATime)
{
    CPlayModule first;
    CPlayModule second;
    ASSERT_EQ(1, first.GroupPlay_Open());
    ASSERT_EQ(1, second.GroupPlay_Open());
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_EQ(1, first.GroupPlay_AddToPlayGroup(module.get()));
    EXPECT_EQ(1, first.GroupPlay_AddToPlayGroup(module.get()));
    EXPECT_EQ(0, second.GroupPlay_AddToPlayGroup(module.get()));
    // Destroyed, the member leaves its group; neither group may reach it after.
    module.reset();
    EXPECT_EQ(0, first.GroupPlay_Seek(kClipStart + 1));
    EXPECT_EQ(0, second.GroupPlay_Seek(kClipStart + 1));
    EXPECT_EQ(0, first.GroupPlay_StepForward());
    EXPECT_EQ(0, second.GroupPlay_StepForward());
}

TEST_F(ModuleFeatures, NextKeyFrameAfterTheLastOneIsTheFilesEnd)
{
    // No creation time: positions count from the file's start.
    ASSERT_EQ(1, module->Open(Sample("clip.avi").c_str()));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.refFinished > 0; }));
    ASSERT_EQ(1, listener.refResult.load());
    ASSERT_EQ(0, module->IsGetFileTimeInfo());
    FRAME_POS key, last;
    ASSERT_EQ(1, module->GetKeyFramePos(3, &key));
    ASSERT_EQ(1, module->GetNextKeyFramePos(3, &last));
    EXPECT_EQ(3000, key.nFrameTimeMs);
    EXPECT_EQ(std::int64_t(std::filesystem::file_size(Sample("clip.avi"))), last.nFilePos);
    EXPECT_EQ(4000, last.nFrameTimeMs);
    EXPECT_EQ(4u, last.nFrameTime);
}

namespace {

// Gives an AVI file the date chunk cameras write ("IDIT", local time) in
// place of the start of its first padding chunk; false when it has none.
bool AddAviDateChunk(std::vector<std::uint8_t>& bytes, const char* date)
{
    const std::uint8_t junk[4] = {'J', 'U', 'N', 'K'};
    const auto at = std::search(bytes.begin(), bytes.end(), junk, junk + 4);
    const std::size_t text = std::strlen(date) + 1;
    if (at == bytes.end() || bytes.end() - at < 8)
        return false;
    const std::size_t offset = std::size_t(at - bytes.begin());
    const std::uint32_t size = std::uint32_t(at[4] | at[5] << 8 | at[6] << 16 | at[7] << 24);
    if (size < text + 16 || text % 2 || offset + 8 + size > bytes.size())
        return false;
    auto put = [&](std::size_t from, const char* tag, std::uint32_t length) {
        std::memcpy(&bytes[from], tag, 4);
        for (int i = 0; i < 4; ++i)
            bytes[from + 4 + i] = std::uint8_t(length >> (8 * i));
    };
    put(offset, "IDIT", std::uint32_t(text));
    std::memcpy(&bytes[offset + 8], date, text);
    put(offset + 8 + text, "JUNK", std::uint32_t(size - text - 8));
    return true;
}

}  // namespace

TEST_F(ModuleFeatures, AviDateChunkGivesTheFileAndIndexTimesAlike)
{
    PLAY_MODULE_TEST::CSampleFolder folder;
    SampleSpec spec;
    spec.format = "avi";
    spec.frames = 75;
    const std::string path = folder.File("dated.avi");
    ASSERT_TRUE(MakeSample(path, spec));
    auto bytes = PLAY_MODULE_TEST::ReadFileBytes(path);
    ASSERT_TRUE(AddAviDateChunk(bytes, "Wed May 01 10:00:00 2024\n"));
    ASSERT_TRUE(PLAY_MODULE_TEST::WriteFileBytes(path, bytes));
    std::tm local{};
    local.tm_year = 2024 - 1900;
    local.tm_mon = 4;
    local.tm_mday = 1;
    local.tm_hour = 10;
    local.tm_isdst = -1;
    const unsigned start = unsigned(std::mktime(&local));

    ASSERT_EQ(1, module->Open(path.c_str()));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.refFinished > 0; }));
    ASSERT_EQ(1, listener.refResult.load());
    EXPECT_EQ(1, module->IsGetFileTimeInfo());
    EXPECT_EQ(start, module->GetFileStartTime());
    FRAME_POS key;
    ASSERT_EQ(1, module->GetKeyFramePos(start + 1, &key));
    EXPECT_EQ(std::int64_t(start + 1) * 1000, key.nFrameTimeMs);
    ASSERT_EQ(1, module->Play(nullptr));
    module->Pause();
    ASSERT_EQ(1, module->Seek(start + 1, 1));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 1000; }));
    EXPECT_EQ(key.nFrameTimeMs, module->GetCurrentPlayTimeMs());
}

TEST_F(ModuleFeatures, ExactSeeksAtThirtyFramesShowTheFrameHoldingTheTarget)
{
    // At 30 frames a second, times in ms are rounded: a frame's rounded
    // duration may end a millisecond before the next frame begins.
    PLAY_MODULE_TEST::CSampleFolder folder;
    SampleSpec spec;
    spec.fps = 30;
    spec.frames = 30;
    spec.gop = 30;
    spec.bFrames = 0;
    const std::string path = folder.File("thirty.mp4");
    ASSERT_TRUE(MakeSample(path, spec));
    ASSERT_EQ(1, module->Open(path.c_str()));
    ASSERT_EQ(1, module->Play(nullptr));
    module->Pause();
    std::vector<std::int64_t> starts;
    for (int i = 0; i < spec.frames; ++i) {
        ASSERT_EQ(1, module->StepForward());
        starts.push_back(module->GetCurrentPlayTimeMs());
    }
    MEDIA_INFO info;
    ASSERT_EQ(1, module->GetMediaInfo(&info));
    const double duration = info.nDurationMs;
    for (std::int64_t target = 100; target <= 400; ++target) {
        // The percentage whose position the module computes as the target.
        float percent = float((double(target) + 0.5) * 100.0 / duration);
        if (std::int64_t(duration * double(percent) / 100.0) != target)
            continue;
        ASSERT_EQ(1, module->Seek(percent));
        const auto holding = std::prev(std::upper_bound(starts.begin(), starts.end(), target));
        EXPECT_EQ(*holding, module->GetCurrentPlayTimeMs()) << "target " << target;
    }
}

// The next file of a day joins a synchronised group late (its open took a
// while): the group waits at the boundary instead of running on past the
// start of the next file.
TEST_F(ModuleFeatures, AGroupWaitsAtAFileEndForTheNextFileToJoin)
{
    auto wall = std::make_shared<ManualTimeSource>();
    CPlayModule group;
    ASSERT_TRUE(HeldAtAFileEnd(group, wall));
    wall->AdvanceMs(150);
    RecordingListener nextListener;
    CPlayModule nextModule(&nextListener);
    const std::string next = TempPath("boundary_b.mp4");
    ASSERT_TRUE(MakeTwoSecondsFrom(next, "10:00:02"));
    ASSERT_EQ(1, nextModule.Open(next.c_str()));
    ASSERT_EQ(1, nextModule.Preroll());
    ASSERT_EQ(1, group.GroupPlay_AddToPlayGroup(&nextModule));
    ASSERT_EQ(1, group.GroupPlay_DelFromPlayGroup(module.get()));
    wall->AdvanceMs(kFrameMs);
    ASSERT_TRUE(nextListener.WaitForFrames(2));
    EXPECT_EQ(0, nextListener.Frames()[0].stampMs) << "the start of the next file was skipped";
    EXPECT_EQ(kFrameMs, nextListener.Frames()[1].stampMs);
}

// Readied to play, a file stands with its first frames decoded and its first
// picture made: play then starts without the decoder's start-up, and a colour
// set meanwhile still shows on that first picture.
TEST_F(ModuleFeatures, AReadiedFileStandsWithItsFirstFramesDecoded)
{
    const std::string path = TempPath("standing.mp4");
    ASSERT_TRUE(MakeTwoSecondsFrom(path, "10:00:00"));
    ASSERT_EQ(1, module->Open(path.c_str()));
    ASSERT_EQ(1, module->Preroll());
    ASSERT_TRUE(listener.WaitFor([&] { return listener.videoBlocks >= 3; }, std::chrono::seconds(5)))
        << "it stands with its first frame alone decoded";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const int readStanding = listener.videoBlocks;
    ASSERT_EQ(1, module->SetColor(90, 64, 64, 64));
    ASSERT_EQ(1, module->PlayIfPrerolled());
    ASSERT_TRUE(listener.WaitForFrames(3));
    const auto frames = listener.Frames();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(i * kFrameMs, frames[i].stampMs);
    EXPECT_EQ(readStanding, frames[2].videoBlocksRead) << "its first frames were decoded after play began";
    // Brighter: the frame-number block of frame 0 is lifted by (90 - 64) * 2.
    EXPECT_NEAR(16 + 52, int(frames[0].numberBlock), 4) << "the colour set while it stood is not shown";
}

// A next file that is slow to come holds the others for a fifth of a second
// at most: then the group plays on.
TEST_F(ModuleFeatures, ANextFileSlowToOpenHoldsTheGroupBriefly)
{
    auto wall = std::make_shared<ManualTimeSource>();
    CPlayModule group;
    ASSERT_TRUE(HeldAtAFileEnd(group, wall));
    wall->AdvanceMs(150);
    EXPECT_EQ(kClipStartMs + 2000, GroupTimeMs(group));
    wall->AdvanceMs(100);
    EXPECT_EQ(kClipStartMs + 2060, GroupTimeMs(group));
}

// Readied ahead, the next file takes the ended one's place in the group as
// it ends (as a play object starts it) and shows its start at once: the
// group's clock runs on, neither held nor pulled back to the boundary by a
// member that ended late.
TEST_F(ModuleFeatures, ANextFileReadiedAheadTakesTheEndedFilesPlaceInTheGroup)
{
    auto wall = std::make_shared<ManualTimeSource>();
    CPlayModule group;
    RecordingListener nextListener;
    CPlayModule nextModule(&nextListener);
    ASSERT_TRUE(HandOverSetUp(group, wall, nextModule, false));
    // The first file's end comes 100 ms after the group passed it.
    wall->AdvanceMs(2100);
    ASSERT_TRUE(listener.WaitForEnd());
    EXPECT_EQ(0, group.GroupPlay_DelFromPlayGroup(module.get())) << "the ended file is still a member";
    EXPECT_EQ(kClipStartMs + 2100, GroupTimeMs(group));
    wall->AdvanceMs(200);
    EXPECT_EQ(kClipStartMs + 2300, GroupTimeMs(group)) << "the group's clock is held";
    ASSERT_TRUE(nextListener.WaitForFrames(1));
    EXPECT_EQ(0, nextListener.Frames()[0].stampMs) << "the next file's start is not shown at once";
}

// Backward likewise: the file before, readied at its end, takes the place of
// the one whose start the group reached, and shows its last frame at once.
TEST_F(ModuleFeatures, AFileBeforeReadiedAtItsEndTakesThePlaceOfOneEndedBackward)
{
    auto wall = std::make_shared<ManualTimeSource>();
    CPlayModule group;
    RecordingListener beforeListener;
    CPlayModule beforeModule(&beforeListener);
    ASSERT_TRUE(HandOverSetUp(group, wall, beforeModule, true));
    wall->AdvanceMs(2 * kFrameMs);
    ASSERT_TRUE(listener.WaitForFrames(1));
    const std::int64_t joinedMs = GroupTimeMs(group);
    ASSERT_GE(joinedMs, kClipStartMs + 3900);
    // The later file's start comes 100 ms after the group passed it.
    wall->AdvanceMs(joinedMs - kClipStartMs - 1900);
    ASSERT_TRUE(listener.WaitForEnd());
    EXPECT_EQ(0, group.GroupPlay_DelFromPlayGroup(module.get())) << "the ended file is still a member";
    wall->AdvanceMs(200);
    EXPECT_EQ(kClipStartMs + 1700, GroupTimeMs(group)) << "the group's clock is held";
    ASSERT_TRUE(beforeListener.WaitForFrames(1));
    EXPECT_EQ(1960, beforeListener.Frames()[0].stampMs) << "the file before is not shown from its end at once";
}

// Readied for play forward, a file does not follow one that ended backward.
TEST_F(ModuleFeatures, AReadiedFileFollowsOnlyAnEndReachedInItsDirection)
{
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    ASSERT_EQ(1, module->PlayBackward());
    RecordingListener nextListener;
    CPlayModule nextModule(&nextListener);
    ASSERT_EQ(1, nextModule.Open(Sample("later.mp4").c_str()));
    ASSERT_EQ(1, nextModule.Preroll());
    EXPECT_EQ(0, nextModule.PlayIfPrerolled(module.get()));
    ASSERT_EQ(1, module->PlayForward());
    EXPECT_EQ(1, nextModule.PlayIfPrerolled(module.get()));
    ASSERT_TRUE(nextListener.WaitForFrames(2));
}

TEST_F(ModuleFeatures, AModulePrerolledToPlayBackwardStandsAtItsEnd)
{
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    ASSERT_EQ(1, module->PlayBackward());
    ASSERT_EQ(1, module->Preroll());
    // Standing, it shows nothing and does not end at its start.
    EXPECT_FALSE(listener.WaitFor([&] { return listener.FrameCount() > 0 || listener.fileEnds > 0; },
                                  std::chrono::milliseconds(300)));
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_TRUE(listener.WaitForFrames(2));
    EXPECT_EQ(3960, listener.Frames()[0].stampMs);
    EXPECT_EQ(3920, listener.Frames()[1].stampMs);
    EXPECT_EQ(0, listener.fileEnds.load());
}

// The page plays a file it woke after the file took over by itself: its
// clock runs on from there.
TEST_F(ModuleFeatures, PlayAskedOfAModuleThatPlaysKeepsItsClock)
{
    auto wall = std::make_shared<ManualTimeSource>();
    module->SetTimeSource(wall);
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    ASSERT_EQ(1, module->PlayBackward());
    ASSERT_EQ(1, module->Preroll());
    ASSERT_EQ(1, module->PlayIfPrerolled());
    wall->AdvanceMs(kFrameMs + 1);
    ASSERT_TRUE(listener.WaitForFrames(1));
    wall->AdvanceMs(30);
    ASSERT_EQ(1, module->Play(nullptr));
    wall->AdvanceMs(10);
    ASSERT_TRUE(listener.WaitForFrames(2)) << "the clock was set back to the picture shown";
    EXPECT_EQ(3920, listener.Frames()[1].stampMs);
}

// At 16X a key frame every second stands 62.5 ms: reverse begun after a
// seek (no two key frames seen yet) starts on the key frame before, the
// group's span known from the recording's index.
TEST_F(ModuleFeatures, FastReverseBeginsOnTheKeyFrameBeforeWithTheSpanFromTheIndex)
{
    auto wall = std::make_shared<ManualTimeSource>();
    module->SetTimeSource(wall);
    ASSERT_TRUE(OpenPaused("clip.mp4", 3));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.refFinished > 0; }));
    const std::size_t before = listener.FrameCount();
    ASSERT_EQ(1, module->PlayBackward());
    ASSERT_EQ(1, module->SetSpeed(16.0f));
    ASSERT_EQ(1, module->Play(nullptr));
    ASSERT_TRUE(AdvanceUntilShown(*wall, listener, 10, [&] { return listener.FrameCount() > before; }));
    const ShownFrame first = listener.Frames()[before];
    EXPECT_EQ(2000, first.stampMs);
    EXPECT_EQ(1, first.key);
}

namespace {

// Two members in a group whose clock the test drives by hand.
class GroupOfTwoOnAHandDrivenClock : public ModuleFeatures {
protected:
    // "clip.mp4" and "later.mp4" (a second later), sought to the clip's second.
    bool SoughtTo(int second) { return GroupOfTwo(other, otherListener, group, wall, second); }

    // The clock runs lagMs ahead of both members: each shows the frame of
    // the group's moment, dropping the pictures on the way.
    void ExpectBothToDropPicturesToTheMoment(std::int64_t lagMs, std::int64_t otherStartsLaterMs)
    {
        const std::size_t shown = listener.FrameCount();
        const std::size_t otherShown = otherListener.FrameCount();
        const std::int64_t momentMs = module->GetCurrentPlayTimeMs() - kClipStartMs + lagMs;
        wall->AdvanceMs(lagMs);
        ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == momentMs; },
                                     std::chrono::seconds(10)))
            << listener.LastFrame().stampMs;
        ASSERT_TRUE(otherListener.WaitFor(
            [&] { return otherListener.LastFrame().stampMs == momentMs - otherStartsLaterMs; },
            std::chrono::seconds(10)))
            << otherListener.LastFrame().stampMs;
        // The two frames less than 80 ms late, and one more if the machine
        // held the member up for half a second.
        EXPECT_LE(listener.FrameCount(), shown + 3);
        EXPECT_LE(otherListener.FrameCount(), otherShown + 3);
    }

    RecordingListener otherListener;
    CPlayModule other{&otherListener};
    CPlayModule group;
    std::shared_ptr<ManualTimeSource> wall = std::make_shared<ManualTimeSource>();
};

}  // namespace

TEST_F(GroupOfTwoOnAHandDrivenClock, LateMembersAtNormalSpeedDropPicturesToTheGroupsMoment)
{
    ASSERT_TRUE(SoughtTo(2));
    ExpectBothToDropPicturesToTheMoment(400, 1000);
}

// Readied at their start, the members begin on a group clock that ran on
// meanwhile (a busy machine formed the group slowly).
TEST_F(GroupOfTwoOnAHandDrivenClock, PrerolledMembersLateAtTheStartDropPicturesToTheGroupsMoment)
{
    group.SetTimeSource(wall);
    ASSERT_EQ(1, module->Open(Sample("clip.mp4").c_str()));
    ASSERT_EQ(1, other.Open(Sample("clip.mp4").c_str()));
    ASSERT_EQ(1, module->Preroll());
    ASSERT_EQ(1, other.Preroll());
    ASSERT_EQ(1, group.GroupPlay_Open());
    ASSERT_EQ(1, group.GroupPlay_AddToPlayGroup(module.get()));
    ASSERT_EQ(1, group.GroupPlay_AddToPlayGroup(&other));
    ASSERT_TRUE(listener.WaitForFrames(1));
    ASSERT_TRUE(otherListener.WaitForFrames(1));
    ExpectBothToDropPicturesToTheMoment(400, 0);
}

// Far behind at 1.6 s, with its key frame at 0 and the next at 2 s: the
// member decodes on from where it stands instead of decoding its group again.
// Past the next key frame it seeks (key frames every 2 s).
TEST_F(GroupOfTwoOnAHandDrivenClock, AMemberFarBehindWithinItsKeyFrameGroupDecodesOnToTheMoment)
{
    PLAY_MODULE_TEST::CSampleFolder folder;
    KVX_WRITER::SyntheticOptions options;
    options.startUtcMs = kClipStartMs;
    options.seconds = 6;
    options.width = 160;
    options.height = 120;
    options.audio.reset();
    const std::string path = folder.MakeKvx(options);
    group.SetTimeSource(wall);
    ASSERT_EQ(1, module->Open(path.c_str()));
    ASSERT_EQ(1, module->Preroll());
    ASSERT_EQ(1, group.GroupPlay_Open());
    ASSERT_EQ(1, group.GroupPlay_AddToPlayGroup(module.get()));
    ASSERT_EQ(1, group.GroupPlay_Seek(kClipStart + 1));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 1000; }));
    wall->AdvanceMs(600);
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 1600; }, std::chrono::seconds(10)))
        << listener.LastFrame().stampMs;
    // A record read again shows as one more: 41 frames up to the moment, a
    // few read before the seek and those the decoder holds back.
    EXPECT_LE(listener.videoBlocks.load(), 41 + 10);
    // With the next key frame on the way it seeks there: it reads 51 frames
    // up to the key frame at 2 s, 6 from the one at 4 s and those the
    // decoder holds back, far fewer than the 106 up to the moment.
    wall->AdvanceMs(2600);
    ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 4200; }, std::chrono::seconds(10)))
        << listener.LastFrame().stampMs;
    EXPECT_LE(listener.videoBlocks.load(), 51 + 6 + 20);
}

// Reverse at 4X and 16X reached the start; turned forward, the member goes
// on from its first frame although the clock ran on while it got ready,
// instead of skipping to the key frame a second in.
TEST_F(GroupOfTwoOnAHandDrivenClock, ForwardAfterFastReverseToTheStartShowsTheStart)
{
    ASSERT_TRUE(SoughtTo(3));
    for (const float speed : {4.0f, 16.0f}) {
        ASSERT_EQ(1, group.GroupPlay_SetPlaySpeed(speed));
        ASSERT_EQ(1, group.GroupPlay_PlayBackward());
        const int ends = listener.fileEnds;
        AdvanceGroupMs(group, *wall, std::int64_t(4000 / speed), speed);
        ASSERT_TRUE(listener.WaitForEnd(ends + 1));
        ASSERT_TRUE(listener.WaitFor([&] { return listener.LastFrame().stampMs == 0; }));
        const std::size_t shown = listener.FrameCount();
        ASSERT_EQ(1, group.GroupPlay_PlayForward());
        // A tenth of a second of getting ready.
        wall->AdvanceMs(100);
        ASSERT_TRUE(listener.WaitForFrames(shown + 1));
        EXPECT_EQ(kFrameMs, listener.Frames()[shown].stampMs) << speed;
        ASSERT_EQ(1, group.GroupPlay_Seek(kClipStart + 3));
    }
}
