#include "Platform/PlayModule/Engine/DecoderThreads.h"

#include <cstdint>
#include <thread>

namespace PLAY_MODULE {

int CDecoderThreads::ForStreams(int streams, int cores)
{
    if (cores <= 1 || streams <= 0)
        return 1;
    if (streams == 1)
        return 0;
    // Frame threads pay off while each stream still gets two cores.
    return streams * 2 <= cores ? cores / streams : 1;
}

int CDecoderThreads::ForNewDecoder(int width, int height)
{
    if (const int fixed = s_fixed.load(); fixed > 0)
        return fixed;
    if (std::int64_t(width) * height < kFrameThreadPixels)
        return 1;
    return ForStreams(PlayingStreams(), int(std::thread::hardware_concurrency()));
}

}  // namespace PLAY_MODULE
