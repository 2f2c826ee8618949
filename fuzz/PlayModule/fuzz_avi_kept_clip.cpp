// Mutated AVI clips (cut, joined, junk behind them, sizes unset): the cut of
// a kept clip agrees with a walk of every chunk of every RIFF part, and the
// clip it keeps is whole.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "Platform/PlayModule/Source/AviKeptClip.h"
#include "Platform/PlayModule/Source/AviWholeChunks.h"
#include "Platform/PlayModule/Support/RiffWalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = "/tmp/fuzz_avi_kept_clip_" + std::to_string(::getpid());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) return 0;
    const std::uint64_t whole = PLAY_MODULE::CAviWholeChunks::End(path);
    const std::uint64_t walked = PLAY_MODULE_TEST::CRiffWalk::WholeEnd(path);
    if (whole != walked) {
        std::fprintf(stderr, "cut at %llu, the walk keeps %llu\n", (unsigned long long)whole, (unsigned long long)walked);
        std::abort();
    }
    if (whole > 0 && whole < size) {
        if (PLAY_MODULE::CAviKeptClip::Keep(path) != whole) std::abort();
        if (PLAY_MODULE::CAviWholeChunks::End(path) != whole) std::abort();
    }
    std::remove(path.c_str());
    return 0;
}
