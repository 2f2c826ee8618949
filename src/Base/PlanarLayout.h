#pragma once

#include <cstddef>

namespace SF_SOFT_BASE {

// The one layout of a tightly packed planar 4:2:0 picture, for any size:
// the luma plane (width x height bytes), then two chroma planes of
// ((width + 1) / 2) x ((height + 1) / 2) bytes each, as FFmpeg packs them.
// The last odd column or row shares the chroma sample of its pair.
struct PlanarLayout {
    int width = 0;
    int height = 0;

    constexpr int ChromaWidth() const { return (width + 1) / 2; }
    constexpr int ChromaHeight() const { return (height + 1) / 2; }
    constexpr std::size_t LumaSize() const { return std::size_t(width) * std::size_t(height); }
    constexpr std::size_t ChromaSize() const { return std::size_t(ChromaWidth()) * std::size_t(ChromaHeight()); }
    constexpr std::size_t FirstChromaOffset() const { return LumaSize(); }
    constexpr std::size_t SecondChromaOffset() const { return LumaSize() + ChromaSize(); }
    constexpr std::size_t Size() const { return LumaSize() + 2 * ChromaSize(); }
};

}  // namespace SF_SOFT_BASE
