#pragma once

#include <cstdint>

// A local calendar day of the time line.
struct TimeLineDate {
    std::int32_t year = 1970;
    std::int32_t month = 1;
    std::int32_t day = 1;

    bool operator==(const TimeLineDate& other) const = default;
    bool operator<(const TimeLineDate& other) const
    {
        if (year != other.year)
            return year < other.year;
        if (month != other.month)
            return month < other.month;
        return day < other.day;
    }
};

// The local day of a time (seconds since 1970 UTC); 1970-01-01 when the
// time cannot be converted.
TimeLineDate TimeLineDateOf(std::int64_t time);
// Local midnight of a day, seconds since 1970 UTC.
std::int64_t LocalMidnight(const TimeLineDate& date);
// Seconds since local midnight; 0 when the time cannot be converted.
int SecondsOfDay(std::int64_t time);
