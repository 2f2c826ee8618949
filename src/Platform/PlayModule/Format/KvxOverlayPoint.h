#pragma once

#include <cstdint>

namespace PLAY_MODULE {

// A point of an overlay shape on the picture, each axis scaled to 0..8191
// (0 the left or top edge, 8191 the right or bottom edge).
struct KvxOverlayPoint {
    static constexpr std::uint16_t kScale = 8191;
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    bool operator==(const KvxOverlayPoint&) const = default;
};

}  // namespace PLAY_MODULE
