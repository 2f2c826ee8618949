#pragma once

#include "Platform/PlayModule/Output/PlanarPicture.h"
#include "Platform/PlayModule/PlayModuleTypes.h"

#include <string>
#include <vector>

namespace PLAY_MODULE {

// Writes a picture as a JPEG or 24-bit BMP file (temporary file, then rename);
// never over an existing file: a name in use fails the write.
class CSnapshotWriter {
public:
    static bool Write(const PlanarPicture& picture, const std::string& path, PM_IMAGE_TYPE type,
                      int jpegQuality = 90);
    static bool Encode(const PlanarPicture& picture, PM_IMAGE_TYPE type, int jpegQuality,
                       std::vector<unsigned char>& out);
};

}  // namespace PLAY_MODULE
