#include "Common/YuvToRgb.h"

#include "Base/PlanarLayout.h"

#include <algorithm>
#include <cstdlib>

// The row loop is built for AVX2 too where GCC can (chosen at run time).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define LUMIVEX_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define LUMIVEX_VECTOR_CLONES
#endif

namespace {

// Limited-range BT.601 in 13-bit fixed point.
constexpr std::int32_t kLuma = 9535;
constexpr std::int32_t kRedFromV = 13074;
constexpr std::int32_t kGreenFromU = 3203;
constexpr std::int32_t kGreenFromV = 6660;
constexpr std::int32_t kBlueFromU = 16531;

inline std::uint32_t Channel(std::int32_t value)
{
    return static_cast<std::uint32_t>(std::clamp(value >> 13, 0, 255));
}

inline std::uint32_t Pixel(std::int32_t luma, std::int32_t red, std::int32_t green, std::int32_t blue)
{
    return Channel(luma + red) | Channel(luma - green) << 8 | Channel(luma + blue) << 16 | 0xFF000000u;
}

// The same colour as Pixel, stored as 0xFFRRGGBB.
inline std::uint32_t NativePixel(std::uint8_t y, std::uint8_t v, std::uint8_t u)
{
    const std::int32_t luma = (y - 16) * kLuma;
    const std::int32_t cv = v - 128;
    const std::int32_t cu = u - 128;
    return Channel(luma + cv * kRedFromV) << 16 | Channel(luma - cu * kGreenFromU - cv * kGreenFromV) << 8 |
           Channel(luma + cu * kBlueFromU) | 0xFF000000u;
}

constexpr double kFixedOne = 65536.0;

// One row; pixel x takes chroma sample x / 2 (an odd last pixel its own).
// Plain arithmetic on whole pixels, so that the compiler vectorises it
// (the library builds this file with GCC's full vectoriser cost model).
LUMIVEX_VECTOR_CLONES void ConvertRow(std::uint32_t* out, const std::uint8_t* y, const std::uint8_t* v, const std::uint8_t* u, int width)
{
    const int pairs = width / 2;
    for (int i = 0; i < pairs; ++i) {
        const std::int32_t cv = v[i] - 128;
        const std::int32_t cu = u[i] - 128;
        const std::int32_t red = cv * kRedFromV;
        const std::int32_t green = cu * kGreenFromU + cv * kGreenFromV;
        const std::int32_t blue = cu * kBlueFromU;
        out[2 * i] = Pixel((y[2 * i] - 16) * kLuma, red, green, blue);
        out[2 * i + 1] = Pixel((y[2 * i + 1] - 16) * kLuma, red, green, blue);
    }
    if (width % 2) {
        const std::int32_t cv = v[pairs] - 128;
        const std::int32_t cu = u[pairs] - 128;
        out[width - 1] = Pixel((y[width - 1] - 16) * kLuma, cv * kRedFromV, cu * kGreenFromU + cv * kGreenFromV,
                               cu * kBlueFromU);
    }
}

}  // namespace

void ConvertYuv420ToRgb32(std::uint32_t* dst, int dstStridePixels, const std::uint8_t* yPlane,
                          const std::uint8_t* vPlane, const std::uint8_t* uPlane, int yStride,
                          int chromaStride, int width, int height)
{
    const bool upsideDown = height < 0;
    const int rows = std::abs(height);
    if (!dst || !yPlane || !vPlane || !uPlane || width < 2 || rows < 2)
        return;
    for (int row = 0; row < rows; ++row) {
        const int source = upsideDown ? rows - 1 - row : row;
        ConvertRow(dst + std::ptrdiff_t(row) * dstStridePixels, yPlane + std::ptrdiff_t(source) * yStride,
                   vPlane + std::ptrdiff_t(source / 2) * chromaStride, uPlane + std::ptrdiff_t(source / 2) * chromaStride,
                   width);
    }
}

void ConvertYuv420ToRgb32Scaled(std::uint32_t* dst, int dstStridePixels, int dstWidth, int dstHeight,
                                const YuvPlanes& planes, const YuvSampling& sampling)
{
    const YuvRect& bounds = sampling.bounds;
    if (!dst || !planes.y || !planes.v || !planes.u || dstWidth < 1 || dstHeight < 1 || bounds.width < 1 ||
        bounds.height < 1 || bounds.left < 0 || bounds.top < 0)
        return;
    const int firstX = int((sampling.scaleX * 0.5 + sampling.offsetX) * kFixedOne);
    const int deltaX = int(sampling.scaleX * kFixedOne);
    const int lastX = bounds.left + bounds.width - 1;
    const int lastY = bounds.top + bounds.height - 1;
    for (int row = 0; row < dstHeight; ++row) {
        const int fy = int((sampling.scaleY * (row + 0.5) + sampling.offsetY) * kFixedOne);
        const int sy = std::clamp(fy >> 16, bounds.top, lastY);
        const std::uint8_t* y = planes.y + std::ptrdiff_t(sy) * planes.yStride;
        const std::uint8_t* v = planes.v + std::ptrdiff_t(sy / 2) * planes.chromaStride;
        const std::uint8_t* u = planes.u + std::ptrdiff_t(sy / 2) * planes.chromaStride;
        std::uint32_t* out = dst + std::ptrdiff_t(row) * dstStridePixels;
        int fx = firstX;
        for (int x = 0; x < dstWidth; ++x, fx += deltaX) {
            const int sx = std::clamp(fx >> 16, bounds.left, lastX);
            out[x] = NativePixel(y[sx], v[sx / 2], u[sx / 2]);
        }
    }
}

YuvPlanes PackedYuv420Planes(const std::uint8_t* data, int width, int height, bool vFirst)
{
    const SF_SOFT_BASE::PlanarLayout layout{width, height};
    const std::uint8_t* first = data + layout.FirstChromaOffset();
    const std::uint8_t* second = data + layout.SecondChromaOffset();
    YuvPlanes planes;
    planes.y = data;
    planes.v = vFirst ? first : second;
    planes.u = vFirst ? second : first;
    planes.yStride = width;
    planes.chromaStride = layout.ChromaWidth();
    return planes;
}
