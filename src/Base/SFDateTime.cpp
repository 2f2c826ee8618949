#include "Base/SFDateTime.h"

#include <ctime>
#include <limits>

namespace SF_SOFT_BASE {
namespace {

constexpr int kLastYearSince1900 = 137;  // 2037

// Loads the time zone once before any thread converts: later conversions
// only read what glibc set up here.
void LoadTimeZoneOnce()
{
    static const bool loaded = (::tzset(), true);
    (void)loaded;
}

// The run time's 64-bit local conversion, year capped at 2037; -1 for years
// before 1900 and a month that has no month before it.
std::int64_t ConvertLocal(std::int32_t year, std::int32_t month, std::int32_t day,
                          std::int32_t hour, std::int32_t minute, std::int32_t second)
{
    if (year < 1900 || month == std::numeric_limits<std::int32_t>::min())
        return -1;
    std::tm tm{};
    tm.tm_year = year - 1900;
    if (tm.tm_year > kLastYearSince1900)
        tm.tm_year = kLastYearSince1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    LoadTimeZoneOnce();
    return static_cast<std::int64_t>(std::mktime(&tm));
}

}  // namespace

CSFDateTime::CSFDateTime(std::int32_t y, std::int32_t mo, std::int32_t d, std::int32_t h,
                         std::int32_t mi, std::int32_t s)
{
    SetFields(y, mo, d, h, mi, s);
}

void CSFDateTime::SetFields(std::int32_t y, std::int32_t mo, std::int32_t d, std::int32_t h,
                            std::int32_t mi, std::int32_t s)
{
    year = y;
    month = mo;
    day = d;
    hour = h;
    minute = mi;
    second = s;
}

std::uint32_t CSFDateTime::FromTime(std::uint32_t time)
{
    std::time_t t = static_cast<std::time_t>(time);
    std::tm tm{};
    LoadTimeZoneOnce();
    if (::localtime_r(&t, &tm))
        SetFields(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return time;
}

void CSFDateTime::Now() { FromTime(static_cast<std::uint32_t>(std::time(nullptr))); }

std::uint32_t CSFDateTime::ToTime() const
{
    std::int64_t t = ConvertLocal(year, month, day, hour, minute, second);
    return t < 0 || t > std::numeric_limits<std::uint32_t>::max() ? 0 : static_cast<std::uint32_t>(t);
}

std::int32_t CSFDateTime::MakeTime(std::int32_t y, std::int32_t mo, std::int32_t d,
                                   std::int32_t h, std::int32_t mi, std::int32_t s)
{
    if (y < 1900 || y > 3000 || mo < 1 || mo > 12 || d < 0 || h < 0 || mi < 0 || s < 0)
        return 0;
    const std::int64_t t = ConvertLocal(y, mo, d, h, mi, s);
    // Loose fields may normalise past what the value can hold.
    if (t > std::numeric_limits<std::int32_t>::max())
        return 0;
    return static_cast<std::int32_t>(t);
}

std::int32_t MakeLocalTime(std::int32_t y, std::int32_t mo, std::int32_t d, std::int32_t h,
                           std::int32_t mi, std::int32_t s)
{
    return CSFDateTime::MakeTime(y, mo, d, h, mi, s);
}

std::int32_t GetTodayStartTime()
{
    CSFDateTime now;
    now.Now();
    now.SetFields(now.year, now.month, now.day, 0, 0, 0);
    return static_cast<std::int32_t>(now.ToTime());
}

}  // namespace SF_SOFT_BASE
