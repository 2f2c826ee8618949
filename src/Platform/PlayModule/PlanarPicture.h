#pragma once

#include <cstdint>
#include <vector>

namespace PLAY_MODULE {

// One tightly packed planar 4:2:0 picture: a luma plane of width x height
// bytes, then two chroma planes at width*height and width*height*5/4 with
// rows of width/2 bytes. vFirst: the first chroma plane is V (else U).
struct PlanarPicture {
    int width = 0;
    int height = 0;
    bool vFirst = false;
    std::int64_t timeMs = 0;
    bool key = false;
    std::vector<std::uint8_t> bytes;

    static std::size_t SizeFor(int width, int height)
    {
        const std::size_t area = std::size_t(width) * std::size_t(height);
        return area + area / 4 + std::size_t(width / 2) * std::size_t(height / 2);
    }
    std::uint8_t* Luma() { return bytes.data(); }
    const std::uint8_t* Luma() const { return bytes.data(); }
    std::size_t FirstChromaOffset() const { return std::size_t(width) * height; }
    std::size_t SecondChromaOffset() const { return std::size_t(width) * height * 5 / 4; }
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
