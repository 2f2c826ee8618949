#pragma once

#include <map>
#include <tuple>

#include "Platform/DDraw/DDrawSurface.h"

struct SwsContext;

// A rectangle of a planar 4:2:0 picture: luma and the U and V planes.
struct PlanarSource {
    const BYTE* y = nullptr;
    const BYTE* u = nullptr;
    const BYTE* v = nullptr;
    int yStride = 0;
    int chromaStride = 0;
    tagRECT rect{0, 0, -1, -1};  // inclusive, inside the picture
};

// Scales and converts a rectangle of a YUV picture into the whole of a
// 32-bit image (0xFFRRGGBB) with libswscale's vector code. Keeps one
// conversion context per pair of sizes.
class CSurfaceScaler {
public:
    // smooth: bilinear, else each pixel from its nearest sample.
    explicit CSurfaceScaler(bool smooth = true) : m_flags(smooth ? kSmoothFlags : kNearestFlags) {}
    ~CSurfaceScaler();
    CSurfaceScaler(const CSurfaceScaler&) = delete;
    CSurfaceScaler& operator=(const CSurfaceScaler&) = delete;

    // Source rectangle inclusive, clipped to the surface; null: whole.
    HRESULT Blt(const CDDrawSurface& source, const tagRECT* sourceRect, CDDrawSurface& target);
    HRESULT BltPlanar(const PlanarSource& source, QImage& target);
    size_t ContextCount() const { return m_contexts.size(); }

private:
    static constexpr int kSmoothFlags = 1;   // SWS_FAST_BILINEAR
    static constexpr int kNearestFlags = 16;  // SWS_POINT
    using Key = std::tuple<int, int, int, int, int>;
    SwsContext* ContextFor(int format, int sw, int sh, int dw, int dh);
    HRESULT Scale(int format, const BYTE* const planes[4], const int strides[4], int sw, int sh, QImage& image);

    int m_flags;
    std::map<Key, SwsContext*> m_contexts;
};
