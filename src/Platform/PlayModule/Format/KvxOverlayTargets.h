#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "Platform/PlayModule/Format/KvxOverlayPoint.h"

namespace PLAY_MODULE {

// Overlay block of kind 6: detected objects with their boxes and tracks.
struct KvxOverlayTargets {
    enum ObjectClass : std::uint8_t { Unknown = 0, Person = 1, Vehicle = 2 };
    struct Target {
        std::uint32_t id = 0;
        ObjectClass objectClass = Unknown;
        bool alarm = false;  // drawn as an alarm box
        KvxOverlayPoint topLeft;
        KvxOverlayPoint size;
        std::vector<KvxOverlayPoint> track;  // oldest first
        bool operator==(const Target&) const = default;
    };

    std::vector<Target> targets;

    std::vector<std::uint8_t> Encode() const;
    bool Decode(std::span<const std::uint8_t> payload);
};

}  // namespace PLAY_MODULE
