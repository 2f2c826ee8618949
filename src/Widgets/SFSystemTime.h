#pragma once

#include "Platform/Win32/Win32Types.h"

// Date and time as the date-time control hands them to its event object.
struct _SF_SYSTEMTIME {
    WORD wYear;
    WORD wMonth;  // 1..12
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
