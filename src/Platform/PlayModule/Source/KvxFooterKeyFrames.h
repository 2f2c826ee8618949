#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace PLAY_MODULE {

// Byte positions of the key frames that bound a span of a recording.
struct KeyFrameSpan {
    std::uint64_t first = 0;  // the key frame at or before the span's start
    std::uint64_t next = 0;   // the first after its end; the records' end when none is
    bool operator==(const KeyFrameSpan&) const = default;
};

// The span [startMs, endMs] (UTC ms) of a ".kvx" from the key frames its
// footer names, without opening the recording, as the opened recording's
// lookups find it; nothing when the file has no footer that holds.
std::optional<KeyFrameSpan> KvxFooterKeyFrames(const std::string& path, std::int64_t startMs, std::int64_t endMs);

}  // namespace PLAY_MODULE
