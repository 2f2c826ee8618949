#include "Platform/DDraw/PlaneCopy.h"

#include <algorithm>
#include <cstring>

#include "Base/PlanarLayout.h"
#include "Platform/DDraw/DDrawSurface.h"

namespace {

// Chroma sample index for a luma index, kept inside a plane of `size`.
inline int ChromaIndex(int lumaIndex, int size) { return std::min(lumaIndex / 2, size - 1); }

template <bool kUyvy>
void CopyPacked(const BYTE* y, const BYTE* u, const BYTE* v, BYTE* dst, DWORD pitch, int width, int height)
{
    if (!y || !dst || width < 1 || height < 1)
        return;
    const SF_SOFT_BASE::PlanarLayout layout{width, height};
    const int cw = layout.ChromaWidth(), ch = layout.ChromaHeight();
    const bool chroma = u && v && cw > 0 && ch > 0;
    for (int row = 0; row < height; ++row) {
        const BYTE* ys = y + static_cast<size_t>(row) * width;
        const BYTE* us = chroma ? u + static_cast<size_t>(ChromaIndex(row, ch)) * cw : nullptr;
        const BYTE* vs = chroma ? v + static_cast<size_t>(ChromaIndex(row, ch)) * cw : nullptr;
        BYTE* out = dst + static_cast<size_t>(row) * pitch;
        for (int x = 0; x < width; x += 2) {
            const BYTE y0 = ys[x];
            const BYTE y1 = x + 1 < width ? ys[x + 1] : y0;
            const int c = chroma ? ChromaIndex(x, cw) : 0;
            const BYTE cu = chroma ? us[c] : 128;
            const BYTE cv = chroma ? vs[c] : 128;
            if constexpr (kUyvy) {
                out[0] = cu, out[1] = y0, out[2] = cv, out[3] = y1;
            } else {
                out[0] = y0, out[1] = cu, out[2] = y1, out[3] = cv;
            }
            out += 4;
        }
    }
}

void CopyPlane(const BYTE* src, int srcStride, BYTE* dst, size_t dstStride, int width, int height)
{
    for (int row = 0; row < height; ++row)
        std::memcpy(dst + row * dstStride, src + static_cast<size_t>(row) * srcStride, static_cast<size_t>(width));
}

}  // namespace

void CopyYV12ToYV12(BYTE* y, BYTE* second, BYTE* third, BYTE* dst, DWORD pitch, int width, int height)
{
    if (!y || !dst || width < 1 || height < 1)
        return;
    CopyPlane(y, width, dst, pitch, width, height);
    const SF_SOFT_BASE::PlanarLayout layout{width, height};
    const int cw = layout.ChromaWidth(), ch = layout.ChromaHeight();
    if (!second || !third)
        return;
    const size_t chromaPitch = pitch / 2;
    CopyPlane(third, cw, dst + CDDrawSurface::FirstChromaOffset(int(pitch), height), chromaPitch, cw, ch);
    CopyPlane(second, cw, dst + CDDrawSurface::SecondChromaOffset(int(pitch), height), chromaPitch, cw, ch);
}

void CopyYV12ToUYVY(BYTE* y, BYTE* second, BYTE* third, BYTE* dst, DWORD pitch, int width, int height)
{
    CopyPacked<true>(y, second, third, dst, pitch, width, height);
}

void CopyYV12ToYUY2(BYTE* y, BYTE* second, BYTE* third, BYTE* dst, DWORD pitch, int width, int height)
{
    CopyPacked<false>(y, second, third, dst, pitch, width, height);
}
