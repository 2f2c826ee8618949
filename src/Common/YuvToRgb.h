#pragma once

#include <cstdint>

// Limited-range BT.601 YUV to full-range RGB in 13-bit fixed point.

// Converts a planar 4:2:0 frame. vPlane feeds red, uPlane blue. Each pixel
// is stored as the bytes R, G, B, 255 (QImage::Format_RGBX8888). Any size:
// pixel (x, y) takes chroma sample (x / 2, y / 2) (SF_SOFT_BASE::PlanarLayout);
// a negative height reads the source bottom-up.
void ConvertYuv420ToRgb32(std::uint32_t* dst, int dstStridePixels, const std::uint8_t* yPlane,
                          const std::uint8_t* vPlane, const std::uint8_t* uPlane, int yStride,
                          int chromaStride, int width, int height);

// The planes of a 4:2:0 picture; vPlane feeds red, uPlane blue.
struct YuvPlanes {
    const std::uint8_t* y = nullptr;
    const std::uint8_t* v = nullptr;
    const std::uint8_t* u = nullptr;
    int yStride = 0;
    int chromaStride = 0;
};

// The planes of a packed 4:2:0 picture of width x height (luma, then the two
// chroma planes: V first when vFirst, else U first).
YuvPlanes PackedYuv420Planes(const std::uint8_t* data, int width, int height, bool vFirst);
