// Mutated ".mp4" files: the key-frame index taken from the sample table
// lists the key frames a plain demux of every packet finds, at the same
// byte positions and shown times (files whose edit lists drop pictures
// and other oddities aside, see below).
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
        bool dropped = false;
        const auto demuxed = PLAY_MODULE_TEST::DemuxContainerKeyFrames(path, &dropped);
        // Files libavformat reads no video of, and those whose key flags its
        // parser overrules (the index falls back to the packet scan), are out
        // of the comparison too.
        const bool compared = !dropped && !demuxed.empty() &&
                              PLAY_MODULE_TEST::DemuxContainerKeyFrames(path, &dropped, true) == demuxed;
        bool same = !compared || demuxed.size() == index.entries.size();
        for (std::size_t i = 0; compared && same && i < demuxed.size(); ++i)
            same = demuxed[i].timeMs == index.entries[i].timeMs &&
                   demuxed[i].position == std::int64_t(index.entries[i].position);
        if (!same) {
            for (const auto& key : demuxed)
                std::fprintf(stderr, "demuxed %lld ms at %lld\n", (long long)key.timeMs, (long long)key.position);
            for (const auto& key : index.entries)
                std::fprintf(stderr, "indexed %lld ms at %llu\n", (long long)key.timeMs, (unsigned long long)key.position);
            std::abort();
        }
    }
    std::remove(path.c_str());
    return 0;
}
