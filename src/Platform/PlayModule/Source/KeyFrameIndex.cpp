#include "Platform/PlayModule/Source/KeyFrameIndex.h"

#include <cstring>

#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/Crc32.h"
#include "Platform/PlayModule/Format/KvxFormat.h"

namespace PLAY_MODULE {

namespace {

constexpr std::uint8_t kMarker[4] = {'K', 'V', 'X', 'I'};
constexpr std::uint8_t kFlagAbsoluteTimes = 0x01;

}  // namespace

bool CKeyFrameIndex::IsSound() const
{
    if (entries.size() > kMaxEntries || !kvx::TimeInRange(startTimeMs) || !kvx::TimeInRange(endTimeMs))
        return false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!kvx::TimeInRange(entries[i].timeMs)) return false;
        if (entries[i].position >= fileSize) return false;
        if (i > 0 && entries[i].position <= entries[i - 1].position) return false;
    }
    return true;
}

std::vector<std::uint8_t> CKeyFrameIndex::ToBytes() const
{
    std::vector<std::uint8_t> out(kHeadSize + entries.size() * kEntrySize + 4);
    std::uint8_t* p = out.data();
    std::memcpy(p, kMarker, 4);
    StoreU16(p + 4, kVersion);
    p[6] = static_cast<std::uint8_t>(container);
    p[7] = absoluteTimes ? kFlagAbsoluteTimes : 0;
    StoreU64(p + 8, fileSize);
    StoreU64(p + 16, static_cast<std::uint64_t>(startTimeMs));
    StoreU64(p + 24, static_cast<std::uint64_t>(endTimeMs));
    StoreU32(p + 32, static_cast<std::uint32_t>(entries.size()));
    StoreU32(p + 36, 0);
    p += kHeadSize;
    for (const Entry& e : entries) {
        StoreU64(p, static_cast<std::uint64_t>(e.timeMs));
        StoreU64(p + 8, e.position);
        p += kEntrySize;
    }
    StoreU32(p, Crc32(out.data(), out.size() - 4));
    return out;
}

std::optional<CKeyFrameIndex> CKeyFrameIndex::FromBytes(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kHeadSize + 4) return std::nullopt;
    const std::uint8_t* p = bytes.data();
    if (std::memcmp(p, kMarker, 4) != 0 || LoadU16(p + 4) != kVersion) return std::nullopt;
    const std::uint32_t count = LoadU32(p + 32);
    if (count > kMaxEntries || bytes.size() != kHeadSize + std::size_t(count) * kEntrySize + 4)
        return std::nullopt;
    if (LoadU32(p + bytes.size() - 4) != Crc32(p, bytes.size() - 4)) return std::nullopt;
    if (p[6] > static_cast<std::uint8_t>(Container::Ts)) return std::nullopt;

    CKeyFrameIndex index;
    index.container = static_cast<Container>(p[6]);
    index.absoluteTimes = (p[7] & kFlagAbsoluteTimes) != 0;
    index.fileSize = LoadU64(p + 8);
    index.startTimeMs = static_cast<std::int64_t>(LoadU64(p + 16));
    index.endTimeMs = static_cast<std::int64_t>(LoadU64(p + 24));
    index.entries.resize(count);
    const std::uint8_t* e = p + kHeadSize;
    for (Entry& entry : index.entries) {
        entry.timeMs = static_cast<std::int64_t>(LoadU64(e));
        entry.position = LoadU64(e + 8);
        e += kEntrySize;
    }
    if (!index.IsSound()) return std::nullopt;
    return index;
}

}  // namespace PLAY_MODULE
