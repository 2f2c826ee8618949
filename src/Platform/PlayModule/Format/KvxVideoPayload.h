#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "Platform/PlayModule/Format/KvxFormat.h"

namespace PLAY_MODULE {

// Payload of a video record. Key frames start with a description block
// (codec, size, rate, chain link, parameter sets); other frames are bare
// Annex B data of the codec given by the last key frame.
struct KvxVideoPayload {
    static constexpr std::size_t kKeyInfoSize = 32;

    kvx::VideoCodec codec = kvx::VideoCodec::H264;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint32_t frameRateMilli = 0;  // frames per 1000 s
    kvx::Digest chainLink{};           // digest of the record before this key frame
    std::span<const std::uint8_t> parameterSets;  // Annex B VPS/SPS/PPS
    std::span<const std::uint8_t> frame;          // Annex B access unit

    // Appends a key-frame payload (description, parameter sets, frame).
    void EncodeKey(std::vector<std::uint8_t>& out) const;
    // Parses a payload; key frames fill every field, others only `frame`.
    // False (fields unspecified) when a key-frame block is malformed.
    bool Decode(std::span<const std::uint8_t> payload, bool keyFrame);
    // Parameter sets followed by the frame: what a decoder is fed.
    std::vector<std::uint8_t> DecodableBytes() const;
};

}  // namespace PLAY_MODULE
