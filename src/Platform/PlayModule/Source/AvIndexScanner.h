#pragma once

#include <atomic>
#include <string>

#include "Platform/PlayModule/Source/KeyFrameIndex.h"

namespace PLAY_MODULE {

// Builds the key-frame index of a container that libavformat reads
// (".avi", ".mp4", ".ps", ".ts" ...) from its video packets' key flags
// and byte positions, without decoding.
class CAvIndexScanner {
public:
    static bool Scan(const std::string& path, CKeyFrameIndex& out,
                     const std::atomic<bool>* cancel = nullptr);
};

}  // namespace PLAY_MODULE
