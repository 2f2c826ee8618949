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
