#pragma once

#include "Base/SFDateTime.h"

// A system-time record (year, month, day, hour, minute, second; day of week
// and milliseconds 0) of the local date-time of a time value.
template <class SystemTime>
SystemTime LocalTimeFields(unsigned int time)
{
    SF_SOFT_BASE::CSFDateTime local;
    local.FromTime(time);
    SystemTime fields{};
    fields.wYear = decltype(fields.wYear)(local.year);
    fields.wMonth = decltype(fields.wMonth)(local.month);
    fields.wDay = decltype(fields.wDay)(local.day);
    fields.wHour = decltype(fields.wHour)(local.hour);
    fields.wMinute = decltype(fields.wMinute)(local.minute);
    fields.wSecond = decltype(fields.wSecond)(local.second);
    return fields;
}
