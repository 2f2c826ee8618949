#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace PLAY_MODULE_TEST {

struct DecodedKeyFrame {
    std::int64_t timeMs = 0;     // from the stream's start
    std::int64_t position = -1;  // byte position of the packet it came from
};

// Decodes every video frame of a container with libavformat and
// libavcodec; the key frames with their times and packet positions.
std::vector<DecodedKeyFrame> DecodeContainerKeyFrames(const std::string& path, int* frameCount = nullptr);

// Decodes the video records of ".kvx" bytes (as a fresh stream decoder
// would: parameter sets from the key-frame records); the number of
// pictures decoded, -1 when the decoder failed on a frame.
int DecodeKvxVideo(std::span<const std::uint8_t> bytes);

}  // namespace PLAY_MODULE_TEST
