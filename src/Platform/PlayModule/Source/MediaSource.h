#pragma once

#include "Platform/PlayModule/Source/MediaPacket.h"

#include <cstdint>
#include <string>

struct AVCodecParameters;

namespace PLAY_MODULE {

// A demuxer: hands out the packets of one recording in file order.
class IMediaSource {
public:
    virtual ~IMediaSource() = default;

    virtual const AVCodecParameters* VideoParameters() const = 0;
    virtual const AVCodecParameters* AudioParameters() const = 0;
    // 1 a packet, 0 end of the readable data.
    virtual int ReadPacket(MediaPacket& out) = 0;
    // Positions reading so that the next video packet is the last key frame
    // at or before timeMs (the first key frame when none is before it).
    virtual bool SeekKeyFrame(std::int64_t timeMs) = 0;
    virtual std::int64_t DurationMs() const = 0;
    virtual double FrameRate() const = 0;
    // Absolute start in ms since 1970 when the file carries its own time, else -1.
    virtual std::int64_t OwnStartTimeMs() const = 0;
    virtual std::int64_t FileSize() const = 0;
    // Where the media data end: the file's end, or what follows them starts.
    virtual std::int64_t DataEnd() { return FileSize(); }
};

}  // namespace PLAY_MODULE
