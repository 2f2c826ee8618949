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
