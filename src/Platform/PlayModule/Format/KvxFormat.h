#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace PLAY_MODULE {

// Layout constants of the ".kvx" recording format (docs/kvx-format.md).
namespace kvx {

inline constexpr std::array<std::uint8_t, 4> kMarker{'K', 'V', 'X', 'R'};
inline constexpr std::uint8_t kHeaderVersion = 1;
inline constexpr std::size_t kHeaderSize = 48;
inline constexpr std::size_t kDigestSize = 16;
// Bytes of the header that the record digest covers (marker .. time).
inline constexpr std::size_t kDigestedHeaderSize = 24;
inline constexpr std::size_t kChecksummedHeaderSize = 44;
// No record may claim more payload than this; larger lengths are damage.
inline constexpr std::uint32_t kMaxPayloadSize = 16u << 20;
// A file reader takes no record that starts this many bytes or more after
// the end of the record before it: the records ended (a damaged tail). The
// writer writes records back to back; a record cut off leaves at most
// kHeaderSize + kMaxPayloadSize bytes between two whole records.
inline constexpr std::uint64_t kMaxGapBytes = 24u << 20;
// The one rule for where a recording ends: a record that starts at pos is
// past the end of the records when it starts kMaxGapBytes or more after
// lastEnd (the end of the record before it, or where reading began).
inline constexpr bool PastRecordsEnd(std::uint64_t lastEnd, std::uint64_t pos) { return pos >= lastEnd + kMaxGapBytes; }
// Bytes of the largest record the format allows.
inline constexpr std::uint64_t kMaxRecordBytes = kHeaderSize + kMaxPayloadSize;
// No record time lies further from 1970 than this (about 8900 years), so
// sums and differences of times cannot overflow.
inline constexpr std::int64_t kMaxTimeMs = std::int64_t(1) << 48;
inline constexpr bool TimeInRange(std::int64_t timeMs) { return timeMs <= kMaxTimeMs && timeMs >= -kMaxTimeMs; }

enum class RecordKind : std::uint8_t {
    Video = 1,
    Audio = 2,
    Signature = 3,
    Watermark = 4,
    OverlayRules = 5,    // overlay kind 5: rule polygons
    OverlayTargets = 6,  // overlay kind 6: alarm boxes and object tracks
};

inline constexpr std::uint16_t kFlagKeyFrame = 0x0001;

enum class VideoCodec : std::uint8_t { H264 = 1, H265 = 2 };
enum class AudioCodec : std::uint8_t { G711ALaw = 1, G711MuLaw = 2, AacAdts = 3 };

inline bool IsKnownKind(std::uint8_t kind) { return kind >= 1 && kind <= 6; }

using Digest = std::array<std::uint8_t, kDigestSize>;

}  // namespace kvx
}  // namespace PLAY_MODULE
