#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "Platform/PlayModule/Format/KvxFormat.h"

namespace PLAY_MODULE {

// Payload of an audio record: an 8-byte description, then the coded
// samples (G.711 bytes, or one AAC frame with its ADTS header).
struct KvxAudioPayload {
    static constexpr std::size_t kInfoSize = 8;

    kvx::AudioCodec codec = kvx::AudioCodec::G711ALaw;
    std::uint8_t channels = 1;
    std::uint32_t sampleRate = 8000;
    std::span<const std::uint8_t> data;

    void Encode(std::vector<std::uint8_t>& out) const;
    bool Decode(std::span<const std::uint8_t> payload);
};

}  // namespace PLAY_MODULE
