// Mutated ".mp4" files: the key-frame index taken from the sample table
// lists the key frames a plain demux of every packet finds, at the same
// byte positions and shown times.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "Platform/PlayModule/Source/AvIndexScanner.h"
#include "Platform/PlayModule/Support/PlainDemux.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = "/tmp/fuzz_mp4_key_frames_" + std::to_string(::getpid()) + ".mp4";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) return 0;
    av_log_set_level(AV_LOG_QUIET);
    PLAY_MODULE::CKeyFrameIndex index;
    if (PLAY_MODULE::CAvIndexScanner::Scan(path, index) &&
        index.container == PLAY_MODULE::CKeyFrameIndex::Container::Mp4 && !index.absoluteTimes) {
        const auto demuxed = PLAY_MODULE_TEST::DemuxContainerKeyFrames(path);
        if (demuxed.size() != index.entries.size()) std::abort();
        for (std::size_t i = 0; i < demuxed.size(); ++i)
            if (demuxed[i].timeMs != index.entries[i].timeMs ||
                demuxed[i].position != std::int64_t(index.entries[i].position))
                std::abort();
    }
    std::remove(path.c_str());
    return 0;
}
