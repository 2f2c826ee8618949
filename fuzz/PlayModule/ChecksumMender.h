#pragma once

// A mutator for inputs that carry checksums: after libFuzzer's own mutation
// the checksums are made right again, so mutations reach the fields behind
// them instead of stopping at the check.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/Crc32.h"
#include "Platform/PlayModule/Format/KvxFormat.h"

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace FUZZ {

// Every ".kvx" record header in the bytes gets its header checksum.
inline void MendKvxHeaders(std::uint8_t* data, std::size_t size)
{
    using namespace PLAY_MODULE;
    for (std::size_t at = 0; at + kvx::kHeaderSize <= size; ++at) {
        if (std::memcmp(data + at, kvx::kMarker.data(), kvx::kMarker.size()) != 0)
            continue;
        StoreU32(data + at + kvx::kChecksummedHeaderSize, Crc32(data + at, kvx::kChecksummedHeaderSize));
        at += kvx::kHeaderSize - 1;
    }
}

// Index bytes end in the checksum of all before it.
inline void MendIndexBytes(std::uint8_t* data, std::size_t size)
{
    if (size >= 8)
        PLAY_MODULE::StoreU32(data + size - 4, PLAY_MODULE::Crc32(data, size - 4));
}

}  // namespace FUZZ

// Defines the custom mutator of a target with the given mender.
#define LUMIVEX_FUZZ_MENDING_MUTATOR(mend)                                                              \
    extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize, \
                                                   unsigned int)                                        \
    {                                                                                                   \
        size = LLVMFuzzerMutate(data, size, maxSize);                                                   \
        mend(data, size);                                                                               \
        return size;                                                                                    \
    }
