#pragma once

#include <cstdint>

#include "Platform/PlayModule/Format/KvxFormat.h"

namespace PLAY_MODULE {

// The fixed 48-byte head of every ".kvx" record.
struct KvxRecordHeader {
    kvx::RecordKind kind = kvx::RecordKind::Video;
    std::uint16_t flags = 0;
    std::uint32_t payloadSize = 0;
    std::uint32_t sequence = 0;
    std::int64_t timeMs = 0;  // absolute UTC, milliseconds since 1970
    kvx::Digest digest{};
    std::uint32_t reserved = 0;  // bytes 40..43: 0 as written; anything else is changed data

    bool IsKeyFrame() const
    {
        return kind == kvx::RecordKind::Video && (flags & kvx::kFlagKeyFrame) != 0;
    }

    // Whether next is the record written right after this one (the next
    // sequence number).
    bool IsFollowedBy(const KvxRecordHeader& next) const { return next.sequence == sequence + 1; }
    // Whether this record is whole where its end is followed by `available`
    // bytes at `after` (all there are, up to kHeaderSize): when the data
    // ends within a marker's length, or a marker follows that begins the
    // record written after it or no sound header (a damaged one). No marker,
    // or the sound header of another record (a recording written on after a
    // crash), says that a sound header inside it cut it off.
    bool EndsWholeBefore(const std::uint8_t* after, std::size_t available) const;

    // Writes the 48 header bytes, checksum included.
    void Encode(std::uint8_t* out) const;
    // Reads 48 bytes; false unless marker, version, kind, length and
    // checksum are all sound (the header is then left unchanged).
    bool Decode(const std::uint8_t* in);
    // True when the bytes begin with the record marker.
    static bool StartsWithMarker(const std::uint8_t* in);
};

}  // namespace PLAY_MODULE
