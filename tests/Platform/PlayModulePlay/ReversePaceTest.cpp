#include "SampleFiles.h"

#include "Platform/PlayModule/Engine/PlayEngine.h"
#include "Platform/PlayModule/Engine/ReverseBudget.h"
#include "Platform/PlayModule/IPlayModuleListener.h"
#include "Platform/PlayModule/Source/MediaSourceFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <thread>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

using namespace PLAY_MODULE;
using namespace PlayModuleTest;

namespace {

constexpr std::int64_t kFrameMs = 40;
constexpr std::int64_t kPacketUs = 10'000;
constexpr std::int64_t kWaitStepUs = 5'000;

// Wall time that runs with the player's work alone: each packet read costs
// kPacketUs, and a reading with no packet read since the one before (the
// player waits for a picture to fall due) moves on kWaitStepUs.
class WorkClock : public ITimeSource {
public:
    std::int64_t NowUs() const override
    {
        std::lock_guard lock(m_mutex);
        if (m_packets == m_packetsAtReading)
            m_nowUs += kWaitStepUs;
        m_packetsAtReading = m_packets;
        return m_nowUs;
    }
    void PacketRead()
    {
        std::lock_guard lock(m_mutex);
        m_nowUs += kPacketUs;
        ++m_packets;
    }
    std::int64_t PeekUs() const
    {
        std::lock_guard lock(m_mutex);
        return m_nowUs;
    }

private:
    mutable std::mutex m_mutex;
    mutable std::int64_t m_nowUs = 0;
    mutable std::int64_t m_packetsAtReading = -1;
    std::int64_t m_packets = 0;
};

// A recording whose every packet costs its reader: time on a work clock, or
// a real wait; a key frame's packet costs keyCost more.
class CostlySource : public IMediaSource {
public:
    CostlySource(std::unique_ptr<IMediaSource> source, std::function<void()> cost,
                 std::function<void()> keyCost = {})
        : m_source(std::move(source)), m_cost(std::move(cost)), m_keyCost(std::move(keyCost))
    {
    }
    const AVCodecParameters* VideoParameters() const override { return m_source->VideoParameters(); }
    const AVCodecParameters* AudioParameters() const override { return m_source->AudioParameters(); }
    int ReadPacket(MediaPacket& out) override
    {
        m_cost();
        const int read = m_source->ReadPacket(out);
        if (read == 1 && out.key && m_keyCost)
            m_keyCost();
        return read;
    }
    bool SeekKeyFrame(std::int64_t timeMs) override { return m_source->SeekKeyFrame(timeMs); }
    std::int64_t DurationMs() const override { return m_source->DurationMs(); }
    double FrameRate() const override { return m_source->FrameRate(); }
    std::int64_t OwnStartTimeMs() const override { return m_source->OwnStartTimeMs(); }
    std::int64_t FileSize() const override { return m_source->FileSize(); }

private:
    std::unique_ptr<IMediaSource> m_source;
    std::function<void()> m_cost;
    std::function<void()> m_keyCost;
};

struct HandedOver {
    std::int64_t stampMs;
    std::int64_t wallUs;
    int width;
};

// The pictures handed over, each with its time and when (read by now).
class HandOverLog : public IPlayModuleListener {
public:
    explicit HandOverLog(std::function<std::int64_t()> now) : m_now(std::move(now)) {}

    void OnFrameVisible(CPlayModule*, int, unsigned char*, int, PM_FRAME_INFO* info) override
    {
        {
            std::lock_guard lock(m_mutex);
            m_shown.push_back({info->nStampMs, m_now(), info->nWidth});
        }
        if (m_onShown)
            m_onShown(info->nStampMs);
    }
    // Called on the play thread with each picture's time, after it is logged.
    void OnShown(std::function<void(std::int64_t)> onShown) { m_onShown = std::move(onShown); }
    void OnFileEnd(CPlayModule*) override
    {
        {
            std::lock_guard lock(m_mutex);
            m_ended = true;
        }
        m_changed.notify_all();
    }
    void OnFileRefFinished(CPlayModule*, int) override {}
    void OnStreamData(CPlayModule*, unsigned char*, int, PM_FRAME_INFO*, int) override {}
    void OnFileTimeDone(CPlayModule*, unsigned, unsigned) override {}
    int OnOverlayData(CPlayModule*, unsigned char*, int, int, int, int) override { return 1; }

    bool WaitForEnd()
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(60), [&] { return std::exchange(m_ended, false); });
    }
    std::vector<HandedOver> Shown() const
    {
        std::lock_guard lock(m_mutex);
        return m_shown;
    }

private:
    std::function<std::int64_t()> m_now;
    std::function<void(std::int64_t)> m_onShown;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<HandedOver> m_shown;
    bool m_ended = false;
};

// Seeks the recording to fromMs and plays it back to its start, on a clock
// that runs with the work alone: the pictures handed over, the sought one
// first.
std::vector<HandedOver> PlayBackToTheStart(const std::string& path, std::int64_t fromMs, double speed = 1.0)
{
    auto clock = std::make_shared<WorkClock>();
    HandOverLog log([&] { return clock->PeekUs(); });
    CPlayEngine engine(nullptr, &log);
    engine.SetTimeSource(clock);
    if (!engine.Start(std::make_unique<CostlySource>(OpenMediaSource(path), [clock] { clock->PacketRead(); })))
        return {};
    engine.Seek(fromMs, true);
    engine.SetBackward(true);
    engine.SetSpeed(speed);
    engine.Play();
    const bool ended = log.WaitForEnd();
    engine.Shutdown();
    return ended ? log.Shown() : std::vector<HandedOver>();
}

void ExpectEveryFrameBackFrom(const std::vector<HandedOver>& shown, std::int64_t fromMs)
{
    ASSERT_EQ(std::size_t(fromMs / kFrameMs + 1), shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        ASSERT_EQ(fromMs - std::int64_t(i) * kFrameMs, shown[i].stampMs) << i;
}

// The longest wait between two pictures after the first one back (which
// waits for its group).
std::int64_t LongestHoldAfterTheTurnUs(const std::vector<HandedOver>& shown)
{
    std::int64_t longestUs = 0;
    for (std::size_t i = 2; i < shown.size(); ++i)
        longestUs = std::max(longestUs, shown[i].wallUs - shown[i - 1].wallUs);
    return longestUs;
}

// A recording without B-frames; empty when it could not be made.
std::string SampleWithoutBFrames(const char* name, int width, int height, int frames, int gop)
{
    SampleSpec spec;
    spec.width = width;
    spec.height = height;
    spec.frames = frames;
    spec.gop = gop;
    spec.bFrames = 0;
    const std::string path = TempPath(name);
    return MakeSample(path, spec) ? path : std::string();
}

// A recording whose every packet read is counted and takes 10 ms.
std::unique_ptr<IMediaSource> TenMillisecondsAPacket(const std::string& path, std::atomic<int>& reads)
{
    return std::make_unique<CostlySource>(OpenMediaSource(path), [&reads] {
        ++reads;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
}

// A file readied backward, its packets read counted (each costing
// packetCost): Stand() puts it at its end on a paused clock, where it
// decodes its last group.
struct ReadiedBackward {
    ReadiedBackward(const std::string& path, std::chrono::milliseconds packetCost)
    {
        started = engine.Start(std::make_unique<CostlySource>(OpenMediaSource(path), [this, packetCost] {
            ++reads;
            std::this_thread::sleep_for(packetCost);
        }));
        engine.SetBackward(true);
        engine.StandAtEnd();
    }
    void Stand()
    {
        auto standing = std::make_shared<CPlayClock>();
        standing->Pause();
        engine.JoinClock(standing, 0);
    }

    HandOverLog log{[] { return 0; }};
    CPlayEngine engine{nullptr, &log};
    std::atomic<int> reads{0};
    bool started = false;
};

// Polls the condition every millisecond for at most 5 s.
void WaitUntil(const std::function<bool()>& condition)
{
    for (int i = 0; i < 5000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

// Groups of 12 frames, each packet costing a quarter of a frame: decoding a
// group takes more than three frames' time, playing one back twelve.
TEST(ReversePace, EveryFrameWithoutAHoldAtAChangeOfGroup)
{
    const std::string path = SampleWithoutBFrames("reverse_pace.mp4", 160, 120, 75, 12);
    ASSERT_FALSE(path.empty());
    const std::vector<HandedOver> shown = PlayBackToTheStart(path, 2880);
    ExpectEveryFrameBackFrom(shown, 2880);
    // None after the first picture back waits much longer than a frame.
    EXPECT_LE(LongestHoldAfterTheTurnUs(shown), 2 * kFrameMs * 1000);
}

// At 16X a group of 25 frames plays in 62.5 ms and takes 250 ms to decode:
// after the turn, play keeps to key frames alone (a packet each) rather than
// standing for a group's decoding now and then.
TEST(ReversePace, FastPlayThatWholeGroupsCannotKeepUpWithShowsKeyFramesWithoutAHold)
{
    constexpr double kSpeed = 16.0;
    const std::string path = SampleWithoutBFrames("reverse_outpaced.mp4", 160, 120, 250, 25);
    ASSERT_FALSE(path.empty());
    const std::vector<HandedOver> shown = PlayBackToTheStart(path, 9960, kSpeed);
    ASSERT_GT(shown.size(), 5u);
    EXPECT_EQ(0, shown.back().stampMs);
    EXPECT_LE(LongestHoldAfterTheTurnUs(shown), 2 * std::int64_t(1'000'000 / kSpeed));
}

namespace {

struct FastTurn {
    std::vector<HandedOver> shown;  // from the sought picture on
    std::int64_t turnUs = 0;
};

// A recording with a key frame each second, played at 16X on a work clock
// (a key frame's packet costs keyPackets more), sought to 3.5 s and turned
// back there.
FastTurn TurnedBackAt16X(const char* name, int keyPackets)
{
    const std::string path = SampleWithoutBFrames(name, 160, 120, 250, 25);
    if (path.empty())
        return {};
    auto clock = std::make_shared<WorkClock>();
    HandOverLog log([&] { return clock->PeekUs(); });
    CPlayEngine engine(nullptr, &log);
    engine.SetTimeSource(clock);
    // Paused as 3.5 s is shown (from the test thread the pause could come
    // after the end on a loaded machine), so that no forward reading is
    // under way; then sought back there, since the pause settles on the
    // clock's moment, seconds on at 16X.
    std::atomic<bool> paused{false};
    log.OnShown([&](std::int64_t stampMs) {
        if (stampMs >= 3500 && !paused.exchange(true))
            engine.Pause();
    });
    auto keyCost = [clock, keyPackets] {
        for (int i = 0; i < keyPackets; ++i)
            clock->PacketRead();
    };
    if (!engine.Start(std::make_unique<CostlySource>(OpenMediaSource(path), [clock] { clock->PacketRead(); }, keyCost)))
        return {};
    engine.SetSpeed(16.0);
    engine.Play();
    WaitUntil([&] { return paused.load(); });
    engine.Seek(3500, true);
    WaitUntil([&] { return log.Shown().back().stampMs == 3480; });  // the frame at or before it
    const std::size_t sought = log.Shown().size();
    engine.SetBackward(true);
    FastTurn turn;
    turn.turnUs = clock->PeekUs();
    engine.Play();
    const bool ended = log.WaitForEnd();
    engine.Shutdown();
    const std::vector<HandedOver> all = log.Shown();
    if (ended)
        turn.shown.assign(all.begin() + std::ptrdiff_t(sought) - 1, all.end());
    return turn;
}

}  // namespace

// Turned at 16X, where a key frame every second stands 62.5 ms, the first
// picture back is the key frame before, decoded alone (a packet), not the
// group up to the turn (up to 25 packets); the group before it, tried whole,
// gives way to the next key frame as it falls due.
TEST(ReversePace, AFastTurnShowsKeyFramesFromTheOneBeforeAtOnce)
{
    const FastTurn turn = TurnedBackAt16X("reverse_fast_turn.mp4", 0);
    const std::vector<HandedOver>& shown = turn.shown;
    ASSERT_GT(shown.size(), 1u);
    ASSERT_EQ(3480, shown[0].stampMs);
    EXPECT_EQ(0, shown[1].stampMs % 1000) << shown[1].stampMs;
    // It falls due within a group's play (62.5 ms) of the turn.
    EXPECT_LE(shown[1].wallUs - turn.turnUs, 1'000'000 / 16 + 4 * kPacketUs);
    EXPECT_EQ(0, shown.back().stampMs);
    EXPECT_LE(LongestHoldAfterTheTurnUs(shown), 2 * 1'000'000 / 16);
}

// Where a key frame's packet costs 60 ms, the group tried whole after a fast
// turn gives way with its key frame decoded: that one is shown within its
// due time and one key frame's decoding, not decoded a second time.
TEST(ReversePace, AGroupThatGivesWayToKeyFramesKeepsItsKeyFrame)
{
    constexpr int kKeyPackets = 5;
    const FastTurn turn = TurnedBackAt16X("reverse_gives_way.mp4", kKeyPackets);
    const std::vector<HandedOver>& shown = turn.shown;
    ASSERT_GE(shown.size(), 3u);
    ASSERT_EQ(2000, shown[2].stampMs);
    EXPECT_LE(shown[2].wallUs - shown[1].wallUs, 1'000'000 / 16 + (kKeyPackets + 2) * kPacketUs);
}

// Made 16X while its first group back is decoded (a packet each 10 ms), a
// turn ends that group on its key frame rather than decode it to the turn.
TEST(ReversePace, ATurnMadeFastWhileItsFirstGroupIsDecodedEndsOnItsKeyFrame)
{
    const std::string path = SampleWithoutBFrames("reverse_made_fast.mp4", 160, 120, 250, 25);
    ASSERT_FALSE(path.empty());
    std::atomic<int> reads{0};
    // A picture's "wall time" is the number of packets read when it came.
    HandOverLog log([&] { return std::int64_t(reads.load()); });
    CPlayEngine engine(nullptr, &log);
    auto keyFrames = std::make_shared<CKeyFrameIndex>();
    for (std::int64_t ms = 0; ms < 10'000; ms += 1000)
        keyFrames->entries.push_back({ms, std::uint64_t(ms)});
    auto index = std::make_shared<CSharedKeyFrameIndex>();
    index->Set(keyFrames);
    engine.SetKeyFrameIndex(index);
    ASSERT_TRUE(engine.Start(TenMillisecondsAPacket(path, reads)));
    engine.Seek(3480, true);
    WaitUntil([&] { return !log.Shown().empty(); });
    engine.SetBackward(true);
    const int readsBefore = reads;
    engine.Play();
    WaitUntil([&] { return reads >= readsBefore + 3; });
    engine.SetSpeed(16.0);
    ASSERT_TRUE(log.WaitForEnd());
    engine.Shutdown();
    const std::vector<HandedOver> shown = log.Shown();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(3000, shown[1].stampMs);
    // The group up to the turn reads 12 packets.
    EXPECT_LE(shown[1].wallUs - readsBefore, 7);
}

// A window turned back decodes its group while the file readied before
// another window's file (its last group, on a standing clock) waits: they
// do not share the cores at the turn.
TEST(ReversePace, AFileReadiedBackwardWaitsWhileAWindowTurns)
{
    const std::string path = SampleWithoutBFrames("reverse_turn_first.mp4", 160, 120, 250, 25);
    ASSERT_FALSE(path.empty());
    const auto wall = CSteadyTimeSource::Instance();
    HandOverLog turnedLog([&] { return wall->NowUs(); });
    CPlayEngine turned(nullptr, &turnedLog);
    std::atomic<int> turnedReads{0};
    // A group takes 0.25 s.
    ASSERT_TRUE(turned.Start(TenMillisecondsAPacket(path, turnedReads)));
    turned.Seek(9960, true);
    WaitUntil([&] { return !turnedLog.Shown().empty(); });
    ReadiedBackward readied(path, std::chrono::milliseconds(0));
    ASSERT_TRUE(readied.started);

    turned.SetBackward(true);
    const int readsBefore = turnedReads;
    turned.Play();
    WaitUntil([&] { return turnedReads >= readsBefore + 3; });
    const int readiedBefore = readied.reads;
    readied.Stand();
    // The sought picture, then the first one back.
    for (int i = 0; i < 2000 && turnedLog.Shown().size() < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_GE(turnedLog.Shown().size(), 2u);
    EXPECT_EQ(readiedBefore, readied.reads.load());
    turned.Shutdown();
    readied.engine.Shutdown();
}

// A file readied backward (standing at its end, its last group decoded)
// takes over a window's play and decodes the group before at once; a file
// readied next meanwhile waits for that group rather than share the cores.
TEST(ReversePace, AFileReadiedBackwardWaitsWhileAFileThatTookOverDecodesItsFirstGroupAhead)
{
    const std::string path = SampleWithoutBFrames("reverse_take_over.mp4", 160, 120, 250, 25);
    ASSERT_FALSE(path.empty());
    ReadiedBackward tookOver(path, std::chrono::milliseconds(10));
    ASSERT_TRUE(tookOver.started);
    tookOver.Stand();
    // Its last group decoded: no packet read for 200 ms.
    for (int read = -1; read != tookOver.reads;) {
        read = tookOver.reads;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    const int before = tookOver.reads;
    tookOver.engine.LeaveClock();
    WaitUntil([&] { return tookOver.reads > before; });

    ReadiedBackward readied(path, std::chrono::milliseconds(0));
    ASSERT_TRUE(readied.started);
    const int readiedBefore = readied.reads;
    readied.Stand();
    // Most of the group before (25 packets) read.
    WaitUntil([&] { return tookOver.reads >= before + 20; });
    EXPECT_EQ(readiedBefore, readied.reads.load());
    WaitUntil([&] { return readied.reads > readiedBefore; });
    EXPECT_GT(readied.reads.load(), readiedBefore);
    tookOver.engine.Shutdown();
    readied.engine.Shutdown();
}

// Many windows playing back share the budget: the pictures are kept smaller
// than decoded, and the frame a window stands on is whole again for a
// snapshot and once paused.
TEST(ReversePace, PicturesKeptSmallerWhilePlayingBackAreWholeForASnapshotAndWhenPaused)
{
    constexpr int kWidth = 1280;
    constexpr int kHeight = 720;
    const std::string path = SampleWithoutBFrames("reverse_kept_smaller.mp4", kWidth, kHeight, 50, 25);
    ASSERT_FALSE(path.empty());
    std::array<CReverseBudget, 63> otherWindows;
    for (CReverseBudget& other : otherWindows)
        other.Join();
    HandOverLog log([] { return 0; });
    CPlayEngine engine(nullptr, &log);
    ASSERT_TRUE(engine.Start(OpenMediaSource(path)));
    engine.Seek(1960, true);
    engine.SetBackward(true);
    engine.Play();
    ASSERT_TRUE(log.WaitForEnd());
    const std::vector<HandedOver> shown = log.Shown();
    ASSERT_GT(shown.size(), 40u);
    EXPECT_LT(shown.back().width, kWidth);
    EXPECT_EQ(kWidth, engine.Width());
    EXPECT_LE(engine.ReverseHeldBytes(), 2 * CReverseBudget::kProcessBytes / 64);

    // Each call waits a second for the whole picture: a busy machine may
    // take longer.
    PlanarPicture snapshot;
    bool copied = false;
    for (int i = 0; i < 5 && !copied; ++i)
        copied = engine.CopyWholeShownPicture(snapshot);
    ASSERT_TRUE(copied);
    EXPECT_EQ(kWidth, snapshot.width);
    EXPECT_EQ(kHeight, snapshot.height);
    EXPECT_EQ(0, snapshot.timeMs);

    engine.Seek(1000, true);
    engine.Play();
    ASSERT_TRUE(log.WaitForEnd());
    engine.Pause();
    PlanarPicture paused;
    for (int i = 0; i < 500 && engine.CopyShownPicture(paused) && paused.width != kWidth; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(kWidth, paused.width);
    EXPECT_EQ(0, paused.timeMs);
    engine.Shutdown();
}

namespace {

constexpr std::int64_t kTurnMs = 1000;

// Plays a recording with a key frame each second (a packet each 10 ms)
// forward from 480 ms and turns back at turnMs: on the group's clock when one
// is given (each picture logged with its moment), else on the player's own
// clock at the speed. Once turned, each packet read also tells the player
// not to hold the clock at its end, as a window may meanwhile, and costs
// costAfterTurn. The pictures from the turn on.
std::vector<HandedOver> TurnedBackAt(const char* name, const std::shared_ptr<CPlayClock>& group, double speed,
                                     std::int64_t turnMs,
                                     std::chrono::milliseconds costAfterTurn = std::chrono::milliseconds(10))
{
    const std::string path = SampleWithoutBFrames(name, 160, 120, 75, 25);
    if (path.empty())
        return {};
    HandOverLog log([&] { return group ? group->NowMs() * 1000 : 0; });
    CPlayEngine engine(nullptr, &log);
    std::atomic<bool> turned{false};
    log.OnShown([&](std::int64_t stampMs) {
        if (stampMs >= turnMs && !turned.exchange(true)) {
            if (group)
                group->SetBackward(true);
            engine.SetBackward(true);
        }
    });
    const auto packetCost = [&] {
        if (turned)
            engine.SetHoldClockAtEnd(false);
        std::this_thread::sleep_for(turned ? costAfterTurn : std::chrono::milliseconds(10));
    };
    if (!engine.Start(std::make_unique<CostlySource>(OpenMediaSource(path), packetCost)))
        return {};
    engine.Seek(480, true);
    WaitUntil([&] { return !log.Shown().empty(); });
    if (group) {
        group->Pause();
        group->Set(480);
        engine.JoinClock(group, 0);
        group->Resume();
    } else {
        engine.SetSpeed(speed);
        engine.Play();
    }
    const bool ended = log.WaitForEnd();
    engine.Shutdown();
    const std::vector<HandedOver> all = log.Shown();
    const auto turn = std::find_if(all.begin(), all.end(), [&](const HandedOver& p) { return p.stampMs >= turnMs; });
    return ended ? std::vector<HandedOver>(turn, all.end()) : std::vector<HandedOver>();
}

}  // namespace

// A group member turned back on a key frame while it plays forward holds the
// group at the turn while it decodes the group before: it goes back from
// there with the group's moment, none of its first pictures back passed over.
TEST(ReversePace, TheGroupWaitsAtTheTurnForAMemberDecodingItsFirstPicturesBack)
{
    auto group = std::make_shared<CPlayClock>();
    const std::vector<HandedOver> shown = TurnedBackAt("reverse_group_turn.mp4", group, 1.0, kTurnMs);
    ASSERT_GE(shown.size(), 2u);
    ASSERT_EQ(shown[0].stampMs, kTurnMs);
    EXPECT_EQ(shown[1].stampMs, kTurnMs - kFrameMs) << "the group did not wait at the turn";
    std::int64_t farthestMs = 0;
    for (std::size_t i = 1; i < shown.size(); ++i)
        farthestMs = std::max(farthestMs, std::abs(shown[i].stampMs - shown[i].wallUs / 1000));
    EXPECT_LE(farthestMs, 4 * kFrameMs);
}

// On its own clock at 2X, where its group back takes 250 ms to decode (half
// a second of play), a player goes back from the turn with every other
// picture (those that 2X shows), none passed over.
TEST(ReversePace, APlayerOnItsOwnClockGoesBackFromTheTurnWithEveryPictureItsSpeedShows)
{
    const std::vector<HandedOver> shown = TurnedBackAt("reverse_own_turn.mp4", nullptr, 2.0, kTurnMs);
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(kTurnMs - kFrameMs, shown[1].stampMs);
    for (std::size_t i = 2; i < shown.size(); ++i)
        EXPECT_EQ(2 * kFrameMs, shown[i - 1].stampMs - shown[i].stampMs) << i;
    EXPECT_EQ(0, shown.back().stampMs);
}

// Turned five pictures after a key frame, a member plays those back in less
// time than the group before takes to decode: the group stands at the turn
// until that decoding will be done in time, then goes back with every
// picture, each at the group's moment.
TEST(ReversePace, TurnedJustAfterAKeyFrameTheGroupStandsAtTheTurnThenShowsEveryPictureBack)
{
    auto group = std::make_shared<CPlayClock>();
    const std::int64_t turnMs = kTurnMs + 5 * kFrameMs;
    const std::vector<HandedOver> shown = TurnedBackAt("reverse_group_late_turn.mp4", group, 1.0, turnMs);
    ASSERT_GE(shown.size(), 2u);
    for (std::size_t i = 1; i < shown.size(); ++i) {
        ASSERT_EQ(shown[0].stampMs - std::int64_t(i) * kFrameMs, shown[i].stampMs) << i;
        EXPECT_LE(std::abs(shown[i].stampMs - shown[i].wallUs / 1000), kFrameMs) << i;
    }
    EXPECT_EQ(0, shown.back().stampMs);
}

// Where the group before takes longer to decode than the longest hold at a
// turn, the member goes back with the group once the hold runs out, from
// the picture before the turn, instead of standing until that decoding ends.
TEST(ReversePace, AMemberTooSlowForTheHoldAtATurnGoesBackWhenTheHoldRunsOut)
{
    auto group = std::make_shared<CPlayClock>();
    const std::int64_t turnMs = kTurnMs + 5 * kFrameMs;
    const std::vector<HandedOver> shown =
        TurnedBackAt("reverse_slow_turn.mp4", group, 1.0, turnMs, std::chrono::milliseconds(60));
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(turnMs - kFrameMs, shown[1].stampMs);
    EXPECT_LE(std::abs(shown[1].stampMs - shown[1].wallUs / 1000), 2 * kFrameMs);
}

// On its own clock (one that runs with the work), turned five pictures after
// a key frame, a player stands at the turn until the group before will be
// decoded in time: after the first picture back none waits for it.
TEST(ReversePace, OnItsOwnClockAPlayerTurnedJustAfterAKeyFrameStandsOnlyAtTheTurn)
{
    const std::string path = SampleWithoutBFrames("reverse_own_late_turn.mp4", 160, 120, 75, 25);
    ASSERT_FALSE(path.empty());
    auto clock = std::make_shared<WorkClock>();
    HandOverLog log([&] { return clock->PeekUs(); });
    CPlayEngine engine(nullptr, &log);
    engine.SetTimeSource(clock);
    const std::int64_t turnMs = kTurnMs + 5 * kFrameMs;
    std::atomic<bool> turned{false};
    log.OnShown([&](std::int64_t stampMs) {
        if (stampMs >= turnMs && !turned.exchange(true))
            engine.SetBackward(true);
    });
    ASSERT_TRUE(engine.Start(std::make_unique<CostlySource>(OpenMediaSource(path), [clock] { clock->PacketRead(); })));
    engine.Seek(480, true);
    engine.Play();
    ASSERT_TRUE(log.WaitForEnd());
    engine.Shutdown();
    const std::vector<HandedOver> all = log.Shown();
    const auto turn = std::find_if(all.begin(), all.end(), [&](const HandedOver& p) { return p.stampMs >= turnMs; });
    const std::vector<HandedOver> shown(turn, all.end());
    ASSERT_GE(shown.size(), 2u);
    for (std::size_t i = 1; i < shown.size(); ++i)
        ASSERT_EQ(shown[0].stampMs - std::int64_t(i) * kFrameMs, shown[i].stampMs) << i;
    EXPECT_LE(LongestHoldAfterTheTurnUs(shown), 2 * kFrameMs * 1000);
}
