#include "FileIndex/LocalTimeCache.h"

#include <ctime>

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int DaysInMonth(std::int64_t year, std::int64_t month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool UtcOffsetAt(std::int64_t time, std::int64_t& offset)
{
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm tm{};
    if (!::localtime_r(&t, &tm))
        return false;
    offset = tm.tm_gmtoff;
    return true;
}

}  // namespace

bool CLocalTimeCache::IsPlainDate(const SF_SOFT_BASE::CSFDateTime& d)
{
    // Fields the runtime would not normalise, in years before the 2037 cap.
    return d.year >= 1971 && d.year <= 2036 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= DaysInMonth(d.year, d.month) && d.hour >= 0 && d.hour <= 23 && d.minute >= 0 && d.minute <= 59 && d.second >= 0 && d.second <= 59;
}

bool CLocalTimeCache::FindDayOffset(std::int32_t year, std::int32_t month, std::int32_t day, std::int64_t& offset)
{
    const std::int32_t key = (year * 100 + month) * 100 + day;
    auto found = m_dayOffsets.find(key);
    if (found == m_dayOffsets.end()) {
        // One offset from a day before to a day after: no change near the date.
        const std::int64_t midnight = DaysFromCivil(year, month, day) * kSecondsPerDay;
        std::int64_t value = kIrregular;
        std::int64_t first = 0;
        if (UtcOffsetAt(midnight - kSecondsPerDay, first)) {
            value = first;
            for (int i = 0; i <= 2 && value != kIrregular; ++i) {
                std::int64_t other = 0;
                if (!UtcOffsetAt(midnight + i * kSecondsPerDay, other) || other != first)
                    value = kIrregular;
            }
        }
        found = m_dayOffsets.emplace(key, value).first;
    }
    offset = found->second;
    return offset != kIrregular;
}

std::uint32_t CLocalTimeCache::ToTime(const SF_SOFT_BASE::CSFDateTime& date)
{
    std::int64_t offset = 0;
    if (!IsPlainDate(date) || !FindDayOffset(date.year, date.month, date.day, offset))
        return date.ToTime();
    const std::int64_t days = DaysFromCivil(date.year, date.month, date.day);
    const std::int64_t time = days * kSecondsPerDay + date.hour * 3600 + date.minute * 60 + date.second - offset;
    return time < 0 ? 0 : static_cast<std::uint32_t>(time);
}

std::int32_t CLocalTimeCache::DayKey(const SF_SOFT_BASE::CSFDateTime& date)
{
    SF_SOFT_BASE::CSFDateTime midnight(date.year, date.month, date.day, 0, 0, 0);
    std::int64_t offset = 0;
    if (!IsPlainDate(midnight) || !FindDayOffset(date.year, date.month, date.day, offset))
        return SF_SOFT_BASE::CSFDateTime::MakeTime(date.year, date.month, date.day, 0, 0, 0);
    return static_cast<std::int32_t>(static_cast<std::int64_t>(ToTime(midnight)));
}
