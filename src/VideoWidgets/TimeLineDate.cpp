#include "VideoWidgets/TimeLineDate.h"

#include <ctime>

namespace {

bool ToLocal(std::int64_t time, std::tm& out)
{
    const std::time_t t = static_cast<std::time_t>(time);
    return localtime_r(&t, &out) != nullptr;
}

}  // namespace

TimeLineDate TimeLineDateOf(std::int64_t time)
{
    std::tm tm{};
    if (!ToLocal(time, tm))
        return {};
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

std::int64_t LocalMidnight(const TimeLineDate& date)
{
    std::tm tm{};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.day;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    return t == static_cast<std::time_t>(-1) ? 0 : static_cast<std::int64_t>(t);
}

int SecondsOfDay(std::int64_t time)
{
    std::tm tm{};
    if (!ToLocal(time, tm))
        return 0;
    return tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
}
