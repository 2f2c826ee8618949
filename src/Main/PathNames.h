#pragma once

#include <cstdint>
#include <string>

// The last part of a '/'-separated path.
std::wstring FileNameOf(const std::wstring& path);
// The last part of a '/'-separated path without its extension.
std::wstring FileNameWithoutExtension(const std::wstring& path);

// A snapshot or recording name (MakeTimeStampFileName) that no entry of
// folder has: when the drawn number is in use, the next free one after it.
// Empty when every number of that date-time and channel is taken.
std::wstring MakeUnusedTimeStampFileName(const std::wstring& folder, std::int32_t channelKey, std::uint32_t time,
                                         const std::wstring& suffix);
