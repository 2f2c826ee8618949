#pragma once

#include <cstdint>
#include <span>

#include "Platform/PlayModule/Format/KvxFormat.h"

namespace PLAY_MODULE {

// One coded video frame handed to the record encoder.
struct KvxVideoFrame {
    kvx::VideoCodec codec = kvx::VideoCodec::H264;
    bool keyFrame = false;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint32_t frameRateMilli = 25000;
    std::int64_t timeMs = 0;  // absolute UTC
    std::span<const std::uint8_t> parameterSets;  // key frames: Annex B parameter sets
    std::span<const std::uint8_t> data;           // Annex B access unit
};

}  // namespace PLAY_MODULE
