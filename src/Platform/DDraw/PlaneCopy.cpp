#include "Platform/DDraw/PlaneCopy.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "Base/PlanarLayout.h"
#include "Platform/DDraw/DDrawSurface.h"

namespace {

// Chroma sample index for a luma index, kept inside a plane of `size`.
inline int ChromaIndex(int lumaIndex, int size) { return std::min(lumaIndex / 2, size - 1); }

// One packed pixel pair: U Y0 V Y1 (UYVY) or Y0 U Y1 V (YUY2).
template <bool kUyvy>
inline void PackPair(BYTE* out, BYTE y0, BYTE y1, BYTE u, BYTE v)
{
    if constexpr (kUyvy) {
        out[0] = u, out[1] = y0, out[2] = v, out[3] = y1;
    } else {
        out[0] = y0, out[1] = u, out[2] = y1, out[3] = v;
    }
}

// Packs the first `pairs` whole pixel pairs of a row, pair i taking chroma
// sample i; 16 pairs at a time where SSE2 is there.
template <bool kUyvy>
void PackWholePairs(const BYTE* y, const BYTE* u, const BYTE* v, BYTE* out, int pairs)
{
    int i = 0;
#ifdef __SSE2__
    for (; i + 16 <= pairs; i += 16) {
        const __m128i us = _mm_loadu_si128(reinterpret_cast<const __m128i*>(u + i));
        const __m128i vs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i));
        const __m128i yLow = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + 2 * i));
        const __m128i yHigh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + 2 * i + 16));
        const __m128i uvLow = _mm_unpacklo_epi8(us, vs);
        const __m128i uvHigh = _mm_unpackhi_epi8(us, vs);
        __m128i* dst = reinterpret_cast<__m128i*>(out + 4 * i);
        if constexpr (kUyvy) {
            _mm_storeu_si128(dst, _mm_unpacklo_epi8(uvLow, yLow));
            _mm_storeu_si128(dst + 1, _mm_unpackhi_epi8(uvLow, yLow));
            _mm_storeu_si128(dst + 2, _mm_unpacklo_epi8(uvHigh, yHigh));
            _mm_storeu_si128(dst + 3, _mm_unpackhi_epi8(uvHigh, yHigh));
        } else {
            _mm_storeu_si128(dst, _mm_unpacklo_epi8(yLow, uvLow));
            _mm_storeu_si128(dst + 1, _mm_unpackhi_epi8(yLow, uvLow));
            _mm_storeu_si128(dst + 2, _mm_unpacklo_epi8(yHigh, uvHigh));
            _mm_storeu_si128(dst + 3, _mm_unpackhi_epi8(yHigh, uvHigh));
        }
    }
#endif
    for (; i < pairs; ++i)
        PackPair<kUyvy>(out + 4 * i, y[2 * i], y[2 * i + 1], u[i], v[i]);
}

template <bool kUyvy>
void CopyPacked(const BYTE* y, const BYTE* u, const BYTE* v, BYTE* dst, DWORD pitch, int width, int height)
{
    if (!y || !dst || width < 1 || height < 1)
        return;
    const SF_SOFT_BASE::PlanarLayout layout{width, height};
    const int cw = layout.ChromaWidth(), ch = layout.ChromaHeight();
    const bool chroma = u && v && cw > 0 && ch > 0;
    // Whole pairs never pass the chroma row: width / 2 <= cw.
    const int wholePairs = chroma ? width / 2 : 0;
    for (int row = 0; row < height; ++row) {
        const BYTE* ys = y + static_cast<size_t>(row) * width;
        const BYTE* us = chroma ? u + static_cast<size_t>(ChromaIndex(row, ch)) * cw : nullptr;
        const BYTE* vs = chroma ? v + static_cast<size_t>(ChromaIndex(row, ch)) * cw : nullptr;
        BYTE* out = dst + static_cast<size_t>(row) * pitch;
        if (wholePairs > 0)
            PackWholePairs<kUyvy>(ys, us, vs, out, wholePairs);
        out += 4 * static_cast<size_t>(wholePairs);
        for (int x = 2 * wholePairs; x < width; x += 2) {
            const BYTE y0 = ys[x];
            const BYTE y1 = x + 1 < width ? ys[x + 1] : y0;
            const int c = chroma ? ChromaIndex(x, cw) : 0;
            PackPair<kUyvy>(out, y0, y1, chroma ? us[c] : 128, chroma ? vs[c] : 128);
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
