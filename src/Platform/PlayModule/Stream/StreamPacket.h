#pragma once

#include <cstdint>
#include <span>
#include <vector>

extern "C" {
#include <libavcodec/codec_id.h>
#include <libavutil/avutil.h>
}

struct AVCodecParameters;

namespace PLAY_MODULE {

// What a decoder or a muxer needs to know of one elementary stream.
struct StreamFormat {
    AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
    AVCodecID codec = AV_CODEC_ID_NONE;
    int width = 0;
    int height = 0;
    int frameRateNum = 25;  // frames per frameRateDen seconds
    int frameRateDen = 1;
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    int blockAlign = 0;
    std::vector<std::uint8_t> extradata;

    bool IsVideo() const { return type == AVMEDIA_TYPE_VIDEO; }
    // Same codec and picture or sample layout (the frame rate may differ).
    bool SameLayout(const StreamFormat& other) const;
    // Fills freshly allocated parameters; false when out of memory.
    bool ToParameters(AVCodecParameters& out) const;
    static StreamFormat FromParameters(const AVCodecParameters& in, int rateNum, int rateDen);
};

// One coded frame of the stream, in decoding order.
struct StreamPacket {
    const StreamFormat* format = nullptr;
    bool key = false;
    std::int64_t timeMs = 0;  // absolute UTC for ".kvx", else from the stream start
    std::span<const std::uint8_t> data;
};

}  // namespace PLAY_MODULE
