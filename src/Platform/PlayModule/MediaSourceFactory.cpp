#include "Platform/PlayModule/MediaSourceFactory.h"

#include "Platform/PlayModule/FFmpegMediaSource.h"
#include "Platform/PlayModule/KvxContentProbe.h"
#include "Platform/PlayModule/KvxMediaSource.h"

namespace PLAY_MODULE {

std::unique_ptr<IMediaSource> OpenMediaSource(const std::string& path,
                                              std::shared_ptr<CSharedKeyFrameIndex> index)
{
    if (FileLooksLikeKvx(path)) {
        auto source = std::make_unique<CKvxMediaSource>(std::move(index));
        if (!source->Open(path))
            return nullptr;
        return source;
    }
    auto source = std::make_unique<CFFmpegMediaSource>();
    if (!source->Open(path))
        return nullptr;
    return source;
}

}  // namespace PLAY_MODULE
