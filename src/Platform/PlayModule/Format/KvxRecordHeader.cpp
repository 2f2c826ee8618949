#include "Platform/PlayModule/Format/KvxRecordHeader.h"

#include <algorithm>
#include <cstring>

#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/Crc32.h"

namespace PLAY_MODULE {

void KvxRecordHeader::Encode(std::uint8_t* out) const
{
    std::memcpy(out, kvx::kMarker.data(), 4);
    out[4] = kvx::kHeaderVersion;
    out[5] = static_cast<std::uint8_t>(kind);
    StoreU16(out + 6, flags);
    StoreU32(out + 8, payloadSize);
    StoreU32(out + 12, sequence);
    StoreU64(out + 16, static_cast<std::uint64_t>(timeMs));
    std::memcpy(out + 24, digest.data(), kvx::kDigestSize);
    StoreU32(out + 40, reserved);
    StoreU32(out + 44, Crc32(out, kvx::kChecksummedHeaderSize));
}

bool KvxRecordHeader::StartsWithMarker(const std::uint8_t* in)
{
    return std::memcmp(in, kvx::kMarker.data(), 4) == 0;
}

bool KvxRecordHeader::EndsWholeBefore(const std::uint8_t* after, std::size_t available) const
{
    if (available < kvx::kMarker.size()) return true;
    if (!StartsWithMarker(after)) return false;
    KvxRecordHeader next;
    return available < kvx::kHeaderSize || !next.Decode(after) || IsFollowedBy(next);
}

bool KvxRecordHeader::Decode(const std::uint8_t* in)
{
    if (!StartsWithMarker(in) || in[4] != kvx::kHeaderVersion || !kvx::IsKnownKind(in[5]))
        return false;
    const std::uint32_t size = LoadU32(in + 8);
    if (size > kvx::kMaxPayloadSize) return false;
    if (LoadU32(in + 44) != Crc32(in, kvx::kChecksummedHeaderSize)) return false;
    const auto time = static_cast<std::int64_t>(LoadU64(in + 16));
    if (!kvx::TimeInRange(time)) return false;
    kind = static_cast<kvx::RecordKind>(in[5]);
    flags = LoadU16(in + 6);
    payloadSize = size;
    sequence = LoadU32(in + 12);
    timeMs = time;
    std::copy(in + 24, in + 24 + kvx::kDigestSize, digest.begin());
    reserved = LoadU32(in + 40);
    return true;
}

}  // namespace PLAY_MODULE
