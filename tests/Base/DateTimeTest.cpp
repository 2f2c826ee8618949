#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>

#include "Base/SFDateTime.h"

using SF_SOFT_BASE::CSFDateTime;

TEST(DateTimeTest, YearsFrom2038OnConvertAs2037)
{
    CSFDateTime later(2040, 6, 1, 12, 0, 0);
    CSFDateTime capped(2037, 6, 1, 12, 0, 0);
    EXPECT_EQ(later.ToTime(), capped.ToTime());
    EXPECT_GT(capped.ToTime(), 0u);
    EXPECT_LE(capped.ToTime(), 0x7FFFFFFFu);
}

TEST(DateTimeTest, AllZeroFieldsGiveZero)
{
    CSFDateTime zero;
    EXPECT_EQ(zero.ToTime(), 0u);
}

TEST(DateTimeTest, MakeTimeRangeChecks)
{
    EXPECT_EQ(CSFDateTime::MakeTime(1899, 5, 5, 0, 0, 0), 0);
    EXPECT_EQ(CSFDateTime::MakeTime(3001, 5, 5, 0, 0, 0), 0);
    EXPECT_EQ(CSFDateTime::MakeTime(2013, 13, 1, 0, 0, 0), 0);
    EXPECT_EQ(CSFDateTime::MakeTime(2013, 0, 1, 0, 0, 0), 0);
    EXPECT_EQ(CSFDateTime::MakeTime(2013, 5, -1, 0, 0, 0), 0);
    EXPECT_EQ(CSFDateTime::MakeTime(2013, 5, 1, -1, 0, 0), 0);
    EXPECT_EQ(CSFDateTime::MakeTime(2013, 5, 1, 0, -1, 0), 0);
    EXPECT_EQ(CSFDateTime::MakeTime(2013, 5, 1, 0, 0, -1), 0);
    // Day 0 is the last day of the month before.
    EXPECT_EQ(static_cast<std::uint32_t>(CSFDateTime::MakeTime(2013, 2, 0, 0, 0, 0)),
              CSFDateTime(2013, 1, 31, 0, 0, 0).ToTime());
    EXPECT_EQ(CSFDateTime::MakeTime(2040, 1, 1, 0, 0, 0), CSFDateTime::MakeTime(2037, 1, 1, 0, 0, 0));
    EXPECT_EQ(SF_SOFT_BASE::MakeLocalTime(2013, 2, 3, 4, 5, 6),
              static_cast<std::int32_t>(CSFDateTime(2013, 2, 3, 4, 5, 6).ToTime()));
}

TEST(DateTimeTest, FromTimeThenToTimeRoundTrips)
{
    CSFDateTime endOf2037(2037, 12, 31, 23, 59, 59);
    const std::uint32_t last = endOf2037.ToTime();
    for (std::uint64_t t = 0; t <= last; t += 86400 * 37 + 3613) {
        CSFDateTime dt;
        EXPECT_EQ(dt.FromTime(static_cast<std::uint32_t>(t)), t);
        EXPECT_EQ(dt.ToTime(), t) << dt.year << "-" << dt.month << "-" << dt.day;
    }
    CSFDateTime dt;
    dt.FromTime(last);
    EXPECT_EQ(dt, endOf2037);
}

TEST(DateTimeTest, FieldsFollowTheLocalCalendar)
{
    CSFDateTime dt(2013, 5, 6, 7, 8, 9);
    CSFDateTime back;
    back.FromTime(dt.ToTime());
    EXPECT_EQ(back, dt);
    std::time_t t = dt.ToTime();
    std::tm tm{};
    localtime_r(&t, &tm);
    EXPECT_EQ(tm.tm_year + 1900, 2013);
    EXPECT_EQ(tm.tm_mon + 1, 5);
    EXPECT_EQ(tm.tm_mday, 6);
}

TEST(DateTimeTest, TodayStartIsLocalMidnightOfToday)
{
    std::int32_t midnight = SF_SOFT_BASE::GetTodayStartTime();
    CSFDateTime dt;
    dt.FromTime(static_cast<std::uint32_t>(midnight));
    EXPECT_EQ(dt.hour, 0);
    EXPECT_EQ(dt.minute, 0);
    EXPECT_EQ(dt.second, 0);
    std::int64_t now = std::time(nullptr);
    EXPECT_LE(midnight, now);
    EXPECT_GT(midnight, now - 25 * 3600);
}

TEST(DateTimeTest, FieldsBeyondTheTimeRangeGiveZeroNotAWrappedTime)
{
    // Loose fields normalise far past 2038: the value no longer fits.
    EXPECT_EQ(CSFDateTime::MakeTime(2037, 12, 31, 597000, 0, 0), 0);
    EXPECT_EQ(CSFDateTime::MakeTime(2037, 12, 65535, 65535, 65535, 65535), 0);
    EXPECT_EQ(CSFDateTime(2037, 12, 31, 1200000, 0, 0).ToTime(), 0u);
    // A time just past the end of 2037 is still fine.
    EXPECT_EQ(CSFDateTime::MakeTime(2037, 12, 31, 24, 0, 0),
              static_cast<std::int32_t>(CSFDateTime(2037, 12, 31, 0, 0, 0).ToTime()) + 86400);
}

TEST(DateTimeTest, ExtremeFieldValuesAreRejectedWithoutOverflow)
{
    constexpr std::int32_t lowest = INT32_MIN;
    EXPECT_EQ(CSFDateTime::MakeTime(lowest, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(CSFDateTime(lowest, 1, 1, 0, 0, 0).ToTime(), 0u);
    EXPECT_EQ(CSFDateTime(2013, lowest, 1, 0, 0, 0).ToTime(), 0u);
}
