#include "Platform/PlayModule/MediaSourceFactory.h"

#include "Platform/PlayModule/FFmpegMediaSource.h"

namespace PLAY_MODULE {

std::unique_ptr<IMediaSource> OpenMediaSource(const std::string& path)
{
    auto source = std::make_unique<CFFmpegMediaSource>();
    if (!source->Open(path))
        return nullptr;
    return source;
}

}  // namespace PLAY_MODULE
