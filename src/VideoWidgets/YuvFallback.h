#pragma once

#include "Platform/Win32/Win32Types.h"

// Converts a planar 4:2:0 frame whose second plane is U and third plane V
// into 32-bit pixels laid out R, G, B, X. A negative height flips it.
void yv12_to_rgb32_c_q(BYTE* dst, int dstStride, BYTE* y, BYTE* second, BYTE* third, int yStride, int chromaStride,
                       int width, int height);
