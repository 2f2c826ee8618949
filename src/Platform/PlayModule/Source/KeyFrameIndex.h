#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace PLAY_MODULE {

// Where the key frames of one recording lie, as handed out by
// GetRefValue and taken back by SetRefValue. The byte form carries a
// marker, a version, the recording's size and a checksum so that damaged
// or foreign bytes are refused (docs/kvx-format.md, "Index bytes").
struct CKeyFrameIndex {
    enum class Container : std::uint8_t { Unknown = 0, Kvx = 1, Avi = 2, Mp4 = 3, Ps = 4, Ts = 5 };
    struct Entry {
        std::int64_t timeMs = 0;    // see absoluteTimes
        std::uint64_t position = 0; // byte position of the key frame's record or packet
        bool operator==(const Entry&) const = default;
    };

    static constexpr std::uint16_t kVersion = 1;
    static constexpr std::size_t kHeadSize = 40;
    static constexpr std::size_t kEntrySize = 16;
    static constexpr std::size_t kMaxEntries = 1u << 24;

    Container container = Container::Unknown;
    // True: times are UTC milliseconds since 1970; false: milliseconds
    // from the start of the recording.
    bool absoluteTimes = false;
    std::uint64_t fileSize = 0;
    std::int64_t startTimeMs = 0;
    std::int64_t endTimeMs = 0;
    std::vector<Entry> entries;

    // Times within 2^48 ms of 1970, positions rising within the file: what
    // the byte form may hold.
    bool IsSound() const;
    std::vector<std::uint8_t> ToBytes() const;
    // Nothing when the bytes are damaged, foreign or inconsistent.
    static std::optional<CKeyFrameIndex> FromBytes(std::span<const std::uint8_t> bytes);

    bool operator==(const CKeyFrameIndex&) const = default;
};

}  // namespace PLAY_MODULE
