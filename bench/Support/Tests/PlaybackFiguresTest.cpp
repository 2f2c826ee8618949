#include <gtest/gtest.h>

#include "Support/PlaybackFigures.h"

using namespace BENCH;

namespace {

constexpr double kFileMs = 4000;

// A window playing forward at 1X from footage fromMs, a picture every 40 ms,
// handed over from wall time startUs on; holdAtMs stands that long before it.
std::vector<ShownPicture> Played(double fromMs, double toMs, std::int64_t startUs, double holdAtMs = -1,
                                 std::int64_t holdUs = 0)
{
    std::vector<ShownPicture> shown;
    std::int64_t wallUs = startUs;
    for (double ms = fromMs; ms < toMs; ms += 40) {
        if (ms == holdAtMs)
            wallUs += holdUs;
        const int file = int(ms / kFileMs);
        shown.push_back({file, std::int64_t(ms) - std::int64_t(file * kFileMs), wallUs});
        wallUs += 40000;
    }
    return shown;
}

PlaybackRun ForwardRun(bool sync)
{
    PlaybackRun run;
    run.fileMs = kFileMs;
    run.sync = sync;
    return run;
}

}  // namespace

TEST(PlaybackFigures, SmoothPlayMeetsTheQuietGoals)
{
    const ShownPictures pictures{{0, Played(0, 8000, 0)}, {1, Played(0, 8000, 0)}};
    const PlaybackFigures figures = MeasurePlayback(pictures, ForwardRun(true));
    EXPECT_EQ(figures.changes, 2);
    EXPECT_DOUBLE_EQ(figures.fpsMin, 25);
    EXPECT_DOUBLE_EQ(figures.secondShareMin, 1);
    EXPECT_TRUE(MissedGoals(figures, ForwardRun(true), 500).empty());
}

TEST(PlaybackFigures, AStandInsideAFileAndSkippedFramesAreMisses)
{
    // Stands 300 ms at 2 s, then passes over the frames it missed.
    std::vector<ShownPicture> late = Played(0, 2000, 0);
    const std::vector<ShownPicture> after = Played(2320, 8000, 2000000 + 320000);
    late.insert(late.end(), after.begin(), after.end());
    const PlaybackFigures figures = MeasurePlayback({{0, late}}, ForwardRun(false));
    EXPECT_DOUBLE_EQ(figures.holdInsideMs, 360);
    EXPECT_DOUBLE_EQ(figures.holdChangeMs, 40);
    EXPECT_LT(figures.secondShareMin, 0.7);
    EXPECT_EQ(MissedGoals(figures, ForwardRun(false), 500).size(), 3u);  // hold, frames a second, share
}

TEST(PlaybackFigures, SpreadCountsWindowsAheadAsWellAsBehind)
{
    const ShownPictures pictures{{0, Played(0, 4000, 0)}, {1, Played(0, 4000, 0)}, {2, Played(200, 4200, 0)}};
    const PlaybackFigures figures = MeasurePlayback(pictures, ForwardRun(true));
    EXPECT_DOUBLE_EQ(figures.spreadMs, 200);
    EXPECT_DOUBLE_EQ(figures.offMomentMs, 200);
    EXPECT_FALSE(MissedGoals(figures, ForwardRun(true), 500).empty());
}

TEST(PlaybackFigures, ReverseTimesTheClickToTheFirstEarlierPictureAndJudgesHoldsFromIt)
{
    std::vector<ShownPicture> shown = Played(6000, 6480, 0);  // forward a little past the click at 400 ms
    for (int i = 0; i < 10; ++i)  // the first earlier picture is handed 250 ms after the click
        shown.push_back({1, 2320 - 40 * i, 650000 + 40000 * i});
    PlaybackRun run = ForwardRun(false);
    run.backward = true;
    run.clickWallUs = 400000;
    const PlaybackFigures figures = MeasurePlayback({{0, shown}}, run);
    EXPECT_DOUBLE_EQ(figures.firstBackMs, 250);
    // The wait for the turn is not a hold.
    EXPECT_DOUBLE_EQ(figures.holdInsideMs, 40);
}
