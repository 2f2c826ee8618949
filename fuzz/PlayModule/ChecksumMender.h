#pragma once

// A mutator for inputs that carry checksums: after libFuzzer's own mutation
// the checksums are made right again, so mutations reach the fields behind
// them instead of stopping at the check.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/Crc32.h"
#include "Platform/PlayModule/Format/KvxFormat.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"

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

// Bytes that end in a key-frame trailer get a table that fits before it
// (the count kept where it fits) and the trailer's checksum.
inline void MendKvxFooter(std::uint8_t* data, std::size_t size)
{
    using PLAY_MODULE::CKvxIndexFooter;
    constexpr char kMagic[8] = {'K', 'V', 'X', 'I', 'N', 'D', 'E', 'X'};
    if (size < CKvxIndexFooter::kTrailerSize || std::memcmp(data + size - sizeof kMagic, kMagic, sizeof kMagic) != 0)
        return;
    std::uint8_t* trailer = data + size - CKvxIndexFooter::kTrailerSize;
    const std::size_t room = (size - CKvxIndexFooter::kTrailerSize) / CKvxIndexFooter::kEntrySize;
    std::uint32_t count = PLAY_MODULE::LoadU32(trailer + 8);
    if (count == 0 || count > room) count = static_cast<std::uint32_t>(std::min<std::size_t>(room, 1u << 24));
    const std::size_t tableAt = size - CKvxIndexFooter::kTrailerSize - std::size_t(count) * CKvxIndexFooter::kEntrySize;
    PLAY_MODULE::StoreU64(trailer, tableAt);
    PLAY_MODULE::StoreU32(trailer + 8, count);
    const std::uint32_t checksum = CKvxIndexFooter::Checksum({data + tableAt, trailer}, {trailer, CKvxIndexFooter::kTrailerSize});
    PLAY_MODULE::StoreU32(trailer + 32, checksum);
}

// Record headers and the key-frame footer of a ".kvx" file.
inline void MendKvxFile(std::uint8_t* data, std::size_t size)
{
    MendKvxHeaders(data, size);
    MendKvxFooter(data, size);
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
