#pragma once

#include <cstdint>

struct AVFormatContext;
struct AVStream;

namespace PLAY_MODULE {

// One time base for containers, whether played as files or as streams:
// times count in ms from the video stream's first time, on top of the
// creation time the container carries (UTC; an AVI date chunk's is local).

// The creation time in ms since 1970 (the container's, else the video
// stream's); -1 when there is none or it cannot be read.
std::int64_t ContainerCreationTimeMs(const AVFormatContext& format, int videoStream);
// The video stream's first time in its own time base (0 when unknown).
std::int64_t VideoStartPts(const AVStream& video);

}  // namespace PLAY_MODULE
