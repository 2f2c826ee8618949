#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace PlayModuleTest {

// Luma plane of an image file (JPEG, BMP) as decoded by FFmpeg; empty when
// the file does not decode.
struct LumaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> luma;
};
LumaImage DecodeImageLuma(const std::string& path);

// Mean absolute difference of two luma planes of one size.
double MeanDifference(const std::uint8_t* a, const std::uint8_t* b, std::size_t count);

}  // namespace PlayModuleTest
