#pragma once

#include <array>
#include <cstdint>

namespace PLAY_MODULE {

using KvxPublicKey = std::array<std::uint8_t, 32>;

// The recorder public key the library trusts. This build carries the
// project's test key (tools/KvxWriter/keys), which is not secret.
const KvxPublicKey& RecorderPublicKey();

// First 8 bytes of SHA-256 of a public key, stored in signature records.
std::array<std::uint8_t, 8> KeyFingerprint(const KvxPublicKey& key);

}  // namespace PLAY_MODULE
