#pragma once

#include <cstdint>

#include "Base/SFDateTime.h"
#include "Platform/Win32/Win32Types.h"

namespace PlayModuleTest {

// The local wall time of a moment in milliseconds since 1970 (UTC), as the
// library's absolute-time calls take it.
inline _SYSTEMTIME LocalSystemTime(std::int64_t ms)
{
    SF_SOFT_BASE::CSFDateTime date;
    date.FromTime(unsigned(ms / 1000));
    _SYSTEMTIME local{};
    local.wYear = WORD(date.year);
    local.wMonth = WORD(date.month);
    local.wDay = WORD(date.day);
    local.wHour = WORD(date.hour);
    local.wMinute = WORD(date.minute);
    local.wSecond = WORD(date.second);
    local.wMilliseconds = WORD(ms % 1000);
    return local;
}

}  // namespace PlayModuleTest
