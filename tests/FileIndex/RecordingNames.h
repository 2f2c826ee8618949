#pragma once

#include <cstdio>
#include <string>

#include "Base/SFDateTime.h"

// File names that follow the recorders' naming rule.
// stream: -1 none, 0 "main", N "extraN".
inline std::string RecordingName(const std::string& group, int channel, int stream,
                                 const SF_SOFT_BASE::CSFDateTime& start, int seconds,
                                 const std::string& extension = ".kvx")
{
    SF_SOFT_BASE::CSFDateTime end;
    end.FromTime(start.ToTime() + static_cast<std::uint32_t>(seconds));
    auto stamp = [](const SF_SOFT_BASE::CSFDateTime& t) {
        char text[32];
        std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
        return std::string(text);
    };
    std::string streamPart;
    if (stream == 0)
        streamPart = "main_";
    else if (stream > 0)
        streamPart = "extra" + std::to_string(stream) + "_";
    return group + "_ch" + std::to_string(channel) + "_" + streamPart + stamp(start) + "_" + stamp(end) +
           extension;
}
