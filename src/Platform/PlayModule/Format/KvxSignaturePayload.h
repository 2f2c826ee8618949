#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "Platform/PlayModule/Format/KvxFormat.h"

namespace PLAY_MODULE {

// Payload of a signature record: an Ed25519 signature over the digest of
// the chain up to the record before it.
struct KvxSignaturePayload {
    static constexpr std::size_t kSize = 92;
    static constexpr std::uint8_t kEd25519 = 1;

    std::uint8_t algorithm = kEd25519;
    std::array<std::uint8_t, 8> keyFingerprint{};  // first bytes of SHA-256 of the public key
    kvx::Digest signedDigest{};
    std::array<std::uint8_t, 64> signature{};

    void Encode(std::vector<std::uint8_t>& out) const;
    bool Decode(std::span<const std::uint8_t> payload);
};

}  // namespace PLAY_MODULE
