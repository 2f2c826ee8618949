#pragma once

#include <atomic>
#include <string>

#include "Platform/PlayModule/Source/KeyFrameIndex.h"

namespace PLAY_MODULE {

// Chooses the scan by content: our record headers for ".kvx" data,
// libavformat for everything else.
bool ScanRecordingIndex(const std::string& path, CKeyFrameIndex& out,
                        const std::atomic<bool>* cancel = nullptr);

}  // namespace PLAY_MODULE
