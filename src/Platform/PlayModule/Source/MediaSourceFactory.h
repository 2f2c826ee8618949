#pragma once

#include "Platform/PlayModule/Source/MediaSource.h"
#include "Platform/PlayModule/Source/SharedKeyFrameIndex.h"

#include <memory>
#include <string>

namespace PLAY_MODULE {

// Opens a recording by its content (not its name); empty when unreadable.
// The index, when given, serves seeks in ".kvx" recordings.
std::unique_ptr<IMediaSource> OpenMediaSource(const std::string& path,
                                              std::shared_ptr<CSharedKeyFrameIndex> index = nullptr);

}  // namespace PLAY_MODULE
