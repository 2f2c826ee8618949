#pragma once

#include <string>

// Seconds since 1970 at which a recording starts, for reports about a file
// whose bytes told no time: the start its name gives by the recorders'
// naming rule, else the time the file was last written; -1 when neither is
// known.
long RecordingStartTime(const std::wstring& path);
