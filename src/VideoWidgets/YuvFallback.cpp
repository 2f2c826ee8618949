#include "VideoWidgets/YuvFallback.h"

#include "Common/YuvToRgb.h"

void yv12_to_rgb32_c_q(BYTE* dst, int dstStride, BYTE* y, BYTE* second, BYTE* third, int yStride, int chromaStride,
                       int width, int height)
{
    if (!dst || !y || !second || !third || width < 2 || height == 0)
        return;
    // The third plane (V) feeds red, the second (U) blue.
    ConvertYuv420ToRgb32(reinterpret_cast<std::uint32_t*>(dst), dstStride, y, third, second, yStride,
                         chromaStride, width, height);
}
