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

// The luma of every video frame of a file (a picture file too) that
// decodes without an error, in presentation order, one row after another.
std::vector<std::vector<std::uint8_t>> DecodeLuma(const std::string& path);

// The first channel of a file's sound, decoded (float or 16-bit sound).
std::vector<float> DecodeSound(const std::string& path, int* sampleRate);

// When FFmpeg's players present a file's pictures and sound: the decoder's
// best-effort time stamp of every picture that decodes without an error (as
// DecodeLuma gives them) and of the first sound, in seconds.
struct PresentedTimes {
    std::vector<double> pictures;
    double soundStart = 0;
};
PresentedTimes PresentationTimes(const std::string& path);

// Decodes the video records of ".kvx" bytes (as a fresh stream decoder
// would: parameter sets from the key-frame records); the number of
// pictures decoded, -1 when the decoder failed on a frame.
int DecodeKvxVideo(std::span<const std::uint8_t> bytes);

}  // namespace PLAY_MODULE_TEST
