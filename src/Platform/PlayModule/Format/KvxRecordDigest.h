#pragma once

#include <cstdint>
#include <span>

#include "Platform/PlayModule/Format/KvxFormat.h"

namespace PLAY_MODULE {

// The chained record digest: the first 16 bytes of SHA-256 over the
// previous record's digest, the first 24 header bytes and the payload.
kvx::Digest ComputeRecordDigest(const kvx::Digest& previous, const std::uint8_t* header,
                                std::span<const std::uint8_t> payload);

}  // namespace PLAY_MODULE
