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
