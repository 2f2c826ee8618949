#include "Platform/PlayModule/Source/MediaSourceFactory.h"

#include "Platform/PlayModule/Source/FFmpegMediaSource.h"
#include "Platform/PlayModule/Format/KvxContentProbe.h"
#include "Platform/PlayModule/Source/KvxMediaSource.h"

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
