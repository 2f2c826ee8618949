#include <gtest/gtest.h>

#include "Platform/PlayModule/Engine/FrameTimeline.h"

#include <optional>
#include <vector>

using PLAY_MODULE::CFrameTimeline;

namespace {

constexpr std::int64_t kFrameMs = 40;
const std::optional<std::int64_t> kNone;

// The times the frames with these stamps are shown at.
std::vector<std::int64_t> Place(const std::vector<std::optional<std::int64_t>>& stamps, std::int64_t fromMs = 0,
                                std::int64_t fileMs = 10'000)
{
    CFrameTimeline timeline;
    timeline.SetFileLength(fileMs);
    timeline.Restart(fromMs);
    std::vector<std::int64_t> times;
    for (const auto& stamp : stamps)
        times.push_back(timeline.Place(stamp, kFrameMs));
    return times;
}

}  // namespace

TEST(FrameTimeline, SaneStampsAreKept)
{
    EXPECT_EQ((std::vector<std::int64_t>{0, 40, 80, 200, 240}), Place({0, 40, 80, 200, 240}));
}

TEST(FrameTimeline, FramesWithoutStampsFollowTheFrameBefore)
{
    EXPECT_EQ((std::vector<std::int64_t>{0, 40, 80, 120, 160}), Place({0, kNone, kNone, 120, kNone}));
    EXPECT_EQ((std::vector<std::int64_t>{2000, 2040}), Place({kNone, kNone}, 2000));
}

TEST(FrameTimeline, GarbageStampsAreNeverHandedOut)
{
    const std::int64_t far = 47'727'000;
    EXPECT_EQ((std::vector<std::int64_t>{0, 40, 80, 120, 160}), Place({0, 40, far + 80, far + 120, far + 160}));
    EXPECT_EQ((std::vector<std::int64_t>{1000, 1040, 1080, 1120}), Place({1000, -far, 3, 1120}));
    // Within the file but far from the frame before, unconfirmed.
    EXPECT_EQ((std::vector<std::int64_t>{0, 40, 80, 120}), Place({0, 40, 9000, 120}));
    // A stamp going back is damage.
    EXPECT_EQ((std::vector<std::int64_t>{0, 40, 80, 120, 160}), Place({0, 40, 80, 40, 160}));
}

TEST(FrameTimeline, AShortGapIsFollowedOnceTheNextFrameBearsItOut)
{
    EXPECT_EQ((std::vector<std::int64_t>{0, 40, 80, 5040, 5080}), Place({0, 40, 5000, 5040, 5080}));
    // A jump longer than any gap waited for is not followed.
    EXPECT_EQ((std::vector<std::int64_t>{0, 40, 80, 120, 160}), Place({0, 40, 15'000, 15'040, 15'080}, 0, 60'000));
}

TEST(FrameTimeline, TheFirstSaneStampAfterARestartAnchorsTheGuessedTimes)
{
    CFrameTimeline timeline;
    timeline.SetFileLength(10'000);
    timeline.Restart(3000);
    EXPECT_EQ(3000, timeline.Place(kNone, kFrameMs));
    EXPECT_EQ(3040, timeline.Place(kNone, kFrameMs));
    EXPECT_EQ(2u, timeline.Unanchored());
    // Earlier than the guesses: the guesses were wrong, not the stamp.
    EXPECT_EQ(2680, timeline.Place(2680, kFrameMs));
    EXPECT_EQ(0u, timeline.Unanchored());
    EXPECT_EQ(2720, timeline.Place(kNone, kFrameMs));
    EXPECT_EQ(2760, timeline.Place(2760, kFrameMs));
}
