#include "TestClocks.h"

#include "Platform/PlayModule/Format/KvxFormat.h"
#include "Platform/PlayModule/Engine/PlayClock.h"

#include <gtest/gtest.h>

#include <memory>

using namespace PLAY_MODULE;
using namespace PlayModuleTest;

TEST(PlayClock, WaitsForFarTimesStayLongAtTheSlowestSpeed)
{
    // A recording may span 2^49 ms (record times reach +-2^48): at 1/64X
    // the wait for its end no longer fits in signed microseconds.
    auto time = std::make_shared<ManualTimeSource>();
    CPlayClock clock(time);
    clock.Set(0);
    clock.SetSpeed(1.0 / 64);
    const std::int64_t far = 2 * kvx::kMaxTimeMs;
    EXPECT_EQ(CPlayClock::kPausedWait, clock.UsUntil(far));
    EXPECT_LT(clock.UsUntil(-far), 0);
    clock.SetBackward(true);
    EXPECT_EQ(CPlayClock::kPausedWait, clock.UsUntil(-far));
    EXPECT_LT(clock.UsUntil(far), 0);
    clock.SetSpeed(1.0);
    EXPECT_EQ(40'000, clock.UsUntil(-40));
}

TEST(PlayClock, AHoldStandsUntilEveryHolderLetGoOrItsBoundPassed)
{
    auto time = std::make_shared<ManualTimeSource>();
    CPlayClock clock(time);
    clock.Set(1000);
    clock.SetSpeed(16.0);
    int first = 0;
    int second = 0;
    time->AdvanceMs(10);
    // The first holder's file ended at 1100: the clock, already past it, stands there.
    clock.Hold(&first, 500'000, 1100);
    clock.Hold(&second, 500'000, 1200);
    time->AdvanceMs(100);
    EXPECT_EQ(1100, clock.NowMs());
    EXPECT_GT(clock.UsUntil(1140), 390'000);  // a frame after the hold waits for it
    clock.ReleaseHold(&first);
    EXPECT_EQ(1100, clock.NowMs());
    clock.ReleaseHold(&second);
    time->AdvanceMs(10);
    EXPECT_EQ(1260, clock.NowMs());
    // Nobody lets go: the clock runs on once the bound has passed.
    clock.Hold(&first, 500'000, 5000);
    time->AdvanceMs(600);
    EXPECT_EQ(1260 + 16 * 100, clock.NowMs());
    EXPECT_FALSE(clock.IsHeld());
}

TEST(PlayClock, ALateHolderNeverHoldsTheOthersLongerThanTheBound)
{
    auto time = std::make_shared<ManualTimeSource>();
    CPlayClock clock(time);
    clock.Set(0);
    int late = 0;
    int near = 0;
    time->AdvanceMs(80'000);
    // A member whose file ended 74 s ago holds nothing and takes nothing back.
    clock.Hold(&late, 1'000'000, 6000);
    EXPECT_EQ(80'000, clock.NowMs());
    EXPECT_FALSE(clock.IsHeld());
    // One that ended 400 ms ago takes the clock back, and the way back counts in the bound.
    clock.Hold(&near, 1'000'000, 79'600);
    EXPECT_EQ(79'600, clock.NowMs());
    time->AdvanceMs(600);
    EXPECT_EQ(79'600, clock.NowMs());
    EXPECT_FALSE(clock.IsHeld());
    time->AdvanceMs(100);
    EXPECT_EQ(79'700, clock.NowMs());
}
