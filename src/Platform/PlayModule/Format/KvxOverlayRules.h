#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "Platform/PlayModule/Format/KvxOverlayPoint.h"

namespace PLAY_MODULE {

// Overlay block of kind 5: the analysis rules drawn over the picture.
struct KvxOverlayRules {
    enum Shape : std::uint8_t { Line = 1, Polygon = 2 };
    struct Rule {
        std::uint32_t id = 0;
        Shape shape = Polygon;
        bool alarm = false;
        std::vector<KvxOverlayPoint> points;
        std::string name;  // UTF-8, at most 255 bytes
        bool operator==(const Rule&) const = default;
    };

    std::vector<Rule> rules;

    std::vector<std::uint8_t> Encode() const;
    // False on any malformed or truncated block.
    bool Decode(std::span<const std::uint8_t> payload);
};

}  // namespace PLAY_MODULE
