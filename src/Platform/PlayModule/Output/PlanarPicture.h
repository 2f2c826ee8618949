#pragma once

#include <cstdint>
#include <vector>

#include "Base/PlanarLayout.h"

namespace PLAY_MODULE {

// One tightly packed planar 4:2:0 picture in the shared layout
// (SF_SOFT_BASE::PlanarLayout). vFirst: the first chroma plane is V (else U).
struct PlanarPicture {
    int width = 0;
    int height = 0;
    bool vFirst = false;
    std::int64_t timeMs = 0;
    bool key = false;
    // Kept smaller than the frame was decoded (reverse play's pictures).
    bool reduced = false;
    std::vector<std::uint8_t> bytes;

    static std::size_t SizeFor(int width, int height) { return SF_SOFT_BASE::PlanarLayout{width, height}.Size(); }
    SF_SOFT_BASE::PlanarLayout Layout() const { return {width, height}; }
    std::uint8_t* Luma() { return bytes.data(); }
    const std::uint8_t* Luma() const { return bytes.data(); }
    std::size_t FirstChromaOffset() const { return Layout().FirstChromaOffset(); }
    std::size_t SecondChromaOffset() const { return Layout().SecondChromaOffset(); }
    const std::uint8_t* U() const
    {
        return bytes.data() + (vFirst ? SecondChromaOffset() : FirstChromaOffset());
    }
    const std::uint8_t* V() const
    {
        return bytes.data() + (vFirst ? FirstChromaOffset() : SecondChromaOffset());
    }
};

}  // namespace PLAY_MODULE
