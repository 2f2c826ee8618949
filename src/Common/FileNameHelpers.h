#pragma once

#include <cstdint>
#include <string>

// Snapshot and recording names: the local date-time of time, the channel
// (and stream) of channelKey (-1 for none), a random number below 10000
// that differs from every other name made for the same date-time and
// channel in this run, then suffix. Returns 1.
int MakeTimeStampFileName(std::int32_t channelKey, std::uint32_t time, std::wstring& fileName,
                          const std::wstring& suffix);

// 1 ".kvx", 2 ".avi", 3 ".mp4", 4 ".ps", 5 ".ts" by the text from the last
// '.' (first 7 characters, any case); 0 for anything else.
std::int32_t GetFileTypeByExtension(const std::wstring& filePath);
