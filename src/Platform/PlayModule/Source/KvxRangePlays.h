#pragma once

#include <cstdint>
#include <string>

namespace PLAY_MODULE {

// Whether a picture of the ".kvx" records between the byte positions from
// and to decodes at a time in [fromMs, toMs) (UTC ms): a key frame with its
// parameter sets and key picture, and the frames after it while each holds
// a picture. Stops at the first such picture.
bool KvxRangePlays(const std::string& path, std::uint64_t from, std::uint64_t to, std::int64_t fromMs,
                   std::int64_t toMs);

}  // namespace PLAY_MODULE
