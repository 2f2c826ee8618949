#pragma once

#include <cstdint>
#include <vector>

#include "Platform/PlayModule/Format/KvxRecordHeader.h"

namespace PLAY_MODULE {

// One record as read: its header, its payload and where it began.
struct KvxRecord {
    KvxRecordHeader header;
    std::vector<std::uint8_t> payload;
    std::uint64_t offset = 0;  // byte position of the marker in the stream or file

    std::uint64_t TotalSize() const { return kvx::kHeaderSize + payload.size(); }
};

}  // namespace PLAY_MODULE
