#pragma once

#include <string>

// Texts of the pages' file-tree items.

// A channel key's: "Channel<n>_main", or "Channel<n>_extra<k>" for its extra
// streams, in the UI language.
std::wstring ChannelLabel(int channelKey);
// A day key's (local midnight, seconds since 1970): "YYYY-MM-DD".
std::wstring DayLabel(int dayKey);
