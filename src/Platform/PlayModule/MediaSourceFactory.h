#pragma once

#include "Platform/PlayModule/MediaSource.h"

#include <memory>
#include <string>

namespace PLAY_MODULE {

// Opens a recording by its content (not its name); empty when unreadable.
std::unique_ptr<IMediaSource> OpenMediaSource(const std::string& path);

}  // namespace PLAY_MODULE
