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

void ConvertRowPair(std::uint8_t* top, std::uint8_t* bottom, const std::uint8_t* yTop,
                    const std::uint8_t* yBottom, const std::uint8_t* v, const std::uint8_t* u,
                    int pairs)
{
    for (int i = 0; i < pairs; ++i) {
        Chroma c{g_redFromV[v[i]], g_greenFromU[u[i]] + g_greenFromV[v[i]], g_blueFromU[u[i]]};
        StorePixel(top + 8 * i, yTop[2 * i], c);
        StorePixel(top + 8 * i + 4, yTop[2 * i + 1], c);
        StorePixel(bottom + 8 * i, yBottom[2 * i], c);
        StorePixel(bottom + 8 * i + 4, yBottom[2 * i + 1], c);
    }
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
    const std::ptrdiff_t yStep = upsideDown ? -yStride : yStride;
    const std::ptrdiff_t cStep = upsideDown ? -chromaStride : chromaStride;
    const std::uint8_t* yRow = yPlane + (upsideDown ? std::ptrdiff_t(rows - 1) * yStride : 0);
    const std::ptrdiff_t firstChromaRow = upsideDown ? std::ptrdiff_t(rows / 2 - 1) * chromaStride : 0;
    const std::uint8_t* vRow = vPlane + firstChromaRow;
    const std::uint8_t* uRow = uPlane + firstChromaRow;
    auto* out = reinterpret_cast<std::uint8_t*>(dst);
    const std::ptrdiff_t outStride = std::ptrdiff_t(dstStridePixels) * 4;
    for (int pair = 0; pair < rows / 2; ++pair) {
        ConvertRowPair(out, out + outStride, yRow, yRow + yStep, vRow, uRow, width / 2);
        out += 2 * outStride;
        yRow += 2 * yStep;
        vRow += cStep;
        uRow += cStep;
    }
}
