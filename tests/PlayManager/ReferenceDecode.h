#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace PlayManagerTest {

// Decodes the first picture of a container with libavformat/libavcodec and
// converts it as the Qt frame path does (bytes R, G, B, 255).
bool DecodeFirstPictureRgb(const std::string& path, std::vector<std::uint8_t>& rgb, int& width,
                           int& height);

// Decodes the first picture and converts it with FFmpeg's own converter
// (bytes R, G, B, A).
bool DecodeFirstPictureByFFmpeg(const std::string& path, std::vector<std::uint8_t>& rgba, int& width,
                                int& height);

// Whether libavformat opens the file and finds a video stream in it.
bool OpensAsVideo(const std::string& path);

}  // namespace PlayManagerTest
