#include <gtest/gtest.h>

#include <stdlib.h>

#include <ctime>
#include <string>

#include "FileIndex/LocalTimeCache.h"

using SF_SOFT_BASE::CSFDateTime;

namespace {

// Runs the test body in a time zone and restores the previous one.
class TimeZoneScope {
public:
    explicit TimeZoneScope(const char* zone)
    {
        const char* old = ::getenv("TZ");
        m_hadOld = old != nullptr;
        if (old)
            m_old = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZoneScope()
    {
        if (m_hadOld)
            ::setenv("TZ", m_old.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    bool m_hadOld = false;
    std::string m_old;
};

// Every quarter hour of the days around the offset changes of a year, and
// the first seconds of every day, give what the runtime gives.
void ExpectSameAsRuntime(int year)
{
    CLocalTimeCache cache;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= 31; ++day) {
            for (int minutes = 0; minutes < 24 * 60; minutes += 15) {
                const CSFDateTime date(year, month, day, minutes / 60, minutes % 60, day % 60);
                ASSERT_EQ(cache.ToTime(date), date.ToTime())
                    << year << "-" << month << "-" << day << " " << minutes;
            }
            const CSFDateTime date(year, month, day, 0, 0, 0);
            ASSERT_EQ(cache.DayKey(date), CSFDateTime::MakeTime(year, month, day, 0, 0, 0));
        }
    }
}

}  // namespace

TEST(LocalTimeCacheTest, MatchesTheRuntimeInZonesWithOffsetChanges)
{
    for (const char* zone : {"UTC", "Europe/Berlin", "Australia/Lord_Howe", "America/St_Johns", "Asia/Kathmandu"}) {
        TimeZoneScope scope(zone);
        SCOPED_TRACE(zone);
        ExpectSameAsRuntime(2016);
        ExpectSameAsRuntime(1987);
    }
}

TEST(LocalTimeCacheTest, LeavesOddValuesToTheRuntime)
{
    CLocalTimeCache cache;
    for (const CSFDateTime& date : {CSFDateTime(1969, 12, 31, 23, 0, 0), CSFDateTime(1970, 1, 1, 0, 0, 0),
                                    CSFDateTime(2040, 2, 29, 1, 2, 3), CSFDateTime(2016, 2, 30, 0, 0, 0),
                                    CSFDateTime(2016, 13, 1, 0, 0, 0), CSFDateTime(2016, 1, 1, 25, 0, 0),
                                    CSFDateTime()}) {
        EXPECT_EQ(cache.ToTime(date), date.ToTime());
        EXPECT_EQ(cache.DayKey(date), CSFDateTime::MakeTime(date.year, date.month, date.day, 0, 0, 0));
    }
}
