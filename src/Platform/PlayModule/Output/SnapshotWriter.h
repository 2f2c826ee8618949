#pragma once

#include "Platform/PlayModule/Output/PlanarPicture.h"
#include "Platform/PlayModule/PlayModuleTypes.h"

#include <string>
#include <vector>

namespace PLAY_MODULE {

// Writes a picture as a JPEG or 24-bit BMP file (temporary file, then rename).
class CSnapshotWriter {
public:
    static constexpr int kDefaultJpegQuality = 90;

    // Never over an existing file: a name in use fails it.
    static bool WriteNew(const PlanarPicture& picture, const std::string& path, PM_IMAGE_TYPE type);
    // Never over an existing file either: a name in use gives the next free
    // one, "<stem>(n)<extension>". The name written; empty on failure.
    static std::string WriteToFreeName(const PlanarPicture& picture, const std::string& path, PM_IMAGE_TYPE type,
                                       int jpegQuality);
    static bool Encode(const PlanarPicture& picture, PM_IMAGE_TYPE type, int jpegQuality,
                       std::vector<unsigned char>& out);
};

}  // namespace PLAY_MODULE
