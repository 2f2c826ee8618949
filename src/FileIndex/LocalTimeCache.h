#pragma once

#include <cstdint>
#include <unordered_map>

#include "Base/SFDateTime.h"

// Local date-time to time value, as CSFDateTime::ToTime and MakeTime give
// it, without asking the C runtime for every value: the runtime re-reads
// the time-zone file on each conversion. Days with one UTC offset from
// before to after them convert by arithmetic; days around an offset change
// and years outside 1970-2037 go to the runtime. One object per thread.
class CLocalTimeCache {
public:
    // Same as date.ToTime().
    std::uint32_t ToTime(const SF_SOFT_BASE::CSFDateTime& date);
    // Same as CSFDateTime::MakeTime(year, month, day, 0, 0, 0).
    std::int32_t DayKey(const SF_SOFT_BASE::CSFDateTime& date);

private:
    // Offset of the date's local time from UTC, or false for an irregular day.
    bool FindDayOffset(std::int32_t year, std::int32_t month, std::int32_t day, std::int64_t& offset);
    static bool IsPlainDate(const SF_SOFT_BASE::CSFDateTime& date);

    static constexpr std::int64_t kIrregular = INT64_MIN;
    std::unordered_map<std::int32_t, std::int64_t> m_dayOffsets;
};
