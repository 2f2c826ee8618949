// Index bytes taken back from storage: anything accepted must be sound and
// must survive a round trip unchanged.
#include <cstdint>
#include <cstdlib>

#include "Platform/PlayModule/Source/KeyFrameIndex.h"
#include "PlayModule/ChecksumMender.h"

using PLAY_MODULE::CKeyFrameIndex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto index = CKeyFrameIndex::FromBytes({data, size});
    if (!index) return 0;
    for (const auto& entry : index->entries)
        if (entry.position >= index->fileSize) std::abort();
    const auto again = CKeyFrameIndex::FromBytes(index->ToBytes());
    if (!again || !(*again == *index)) std::abort();
    return 0;
}

// The checksum stays right under mutation.
LUMIVEX_FUZZ_MENDING_MUTATOR(FUZZ::MendIndexBytes)
