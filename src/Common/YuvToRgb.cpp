#include "Common/YuvToRgb.h"

#include <cstdlib>
#include <mutex>

namespace {

std::int32_t g_yTable[256];
std::int32_t g_redFromV[256];
std::int32_t g_greenFromU[256];
std::int32_t g_greenFromV[256];
std::int32_t g_blueFromU[256];

inline std::uint8_t Clamp(std::int32_t value)
{
    return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

struct Chroma {
    std::int32_t red;
    std::int32_t green;
    std::int32_t blue;
};

inline void StorePixel(std::uint8_t* out, std::uint8_t y, const Chroma& c)
{
    std::int32_t luma = g_yTable[y];
    out[0] = Clamp((luma + c.red) >> 13);
    out[1] = Clamp((luma - c.green) >> 13);
    out[2] = Clamp((luma + c.blue) >> 13);
    out[3] = 255;
}

inline Chroma ChromaOf(std::uint8_t v, std::uint8_t u)
{
    return Chroma{g_redFromV[v], g_greenFromU[u] + g_greenFromV[v], g_blueFromU[u]};
}

// One row; pixel x takes chroma sample x / 2 (an odd last pixel its own).
void ConvertRow(std::uint8_t* out, const std::uint8_t* y, const std::uint8_t* v, const std::uint8_t* u, int width)
{
    int x = 0;
    for (; x + 1 < width; x += 2) {
        const Chroma c = ChromaOf(v[x / 2], u[x / 2]);
        StorePixel(out + 4 * x, y[x], c);
        StorePixel(out + 4 * x + 4, y[x + 1], c);
    }
    if (x < width)
        StorePixel(out + 4 * x, y[x], ChromaOf(v[x / 2], u[x / 2]));
}

}  // namespace

void InitYuvToRgbTables()
{
    // Filled once: a later call never rewrites tables another thread reads.
    static std::once_flag filled;
    std::call_once(filled, [] {
        for (int i = 0; i < 256; ++i) {
            g_yTable[i] = (i - 16) * 9535;
            g_redFromV[i] = (i - 128) * 13074;
            g_greenFromU[i] = (i - 128) * 3203;
            g_greenFromV[i] = (i - 128) * 6660;
            g_blueFromU[i] = (i - 128) * 16531;
        }
    });
}

void ConvertYuv420ToRgb32(std::uint32_t* dst, int dstStridePixels, const std::uint8_t* yPlane,
                          const std::uint8_t* vPlane, const std::uint8_t* uPlane, int yStride,
                          int chromaStride, int width, int height)
{
    const bool upsideDown = height < 0;
    const int rows = std::abs(height);
    if (!dst || !yPlane || !vPlane || !uPlane || width < 2 || rows < 2)
        return;
    InitYuvToRgbTables();
    auto* out = reinterpret_cast<std::uint8_t*>(dst);
    const std::ptrdiff_t outStride = std::ptrdiff_t(dstStridePixels) * 4;
    for (int row = 0; row < rows; ++row) {
        const int source = upsideDown ? rows - 1 - row : row;
        ConvertRow(out + row * outStride, yPlane + std::ptrdiff_t(source) * yStride,
                   vPlane + std::ptrdiff_t(source / 2) * chromaStride, uPlane + std::ptrdiff_t(source / 2) * chromaStride,
                   width);
    }
}
