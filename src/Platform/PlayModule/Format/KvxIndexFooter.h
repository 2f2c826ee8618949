#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "Platform/PlayModule/Format/KvxRecordHeader.h"

namespace PLAY_MODULE {

// The key-frame table a writer leaves after the last record of a file, so
// that a reader finds every key frame without walking the records. It holds
// no record marker, so readers that do not know it skip it as trailing bytes.
// Layout: the table (time, position per key frame), then a fixed trailer
// that ends the file (docs/kvx-format.md).
class CKvxIndexFooter {
public:
    struct KeyFrame {
        std::int64_t timeMs = 0;
        std::uint64_t position = 0;
        bool operator==(const KeyFrame&) const = default;
    };
    struct Trailer {
        std::uint64_t tableOffset = 0;
        std::uint32_t count = 0;
        std::int64_t startTimeMs = 0;
        std::int64_t endTimeMs = 0;
        std::uint32_t checksum = 0;
    };

    struct Contents {
        Trailer trailer;
        std::vector<KeyFrame> keyFrames;
    };

    static constexpr std::size_t kEntrySize = 16;
    static constexpr std::size_t kTrailerSize = 48;
    static constexpr std::uint32_t kMaxKeyFrames = 1u << 24;

    // Takes note of the whole records in bytes, which start at position of
    // the file; bytes that are no whole records spoil the footer.
    void NoteRecords(std::span<const std::uint8_t> bytes, std::uint64_t position);
    // Takes note of the record with this header at position; records come in file order.
    void Note(const KvxRecordHeader& header, std::uint64_t position);
    // Takes note of a record read on its own, at or after the end of the one
    // noted before (a reader that reads only the records a footer names).
    void NoteApart(const KvxRecordHeader& header, std::uint64_t position);
    void Spoil() { m_sound = false; }
    // The footer for a file of the records noted up to tableOffset: the end
    // of the last one, or a key frame's position (a file cut there); empty
    // when spoilt, when no record came before, or at any other offset.
    std::vector<std::uint8_t> Encode(std::uint64_t tableOffset) const;
    // Bytes of Encode at the end of the last record noted; 0 when empty.
    std::uint64_t EncodedSize() const;
    // Bytes of the largest footer the format allows.
    static constexpr std::uint64_t kMaxBytes = std::uint64_t(kMaxKeyFrames) * kEntrySize + kTrailerSize;

    // Whether a footer names exactly the records noted: every key frame noted
    // at its position and time and no other, the first record (a key frame
    // at 0) and its time, the latest time, and the end of the last record as
    // the table offset. The watermark check notes every record of a file,
    // the index scanner those the footer names and the last group.
    bool Describes(const Contents& footer) const;

    // Whether a footer's key frames stand so far apart (kvx::kMaxGapBytes
    // or more after the one before, or after the file's start) that the
    // records may end between them: such a footer is walked, not trusted.
    static bool MaySpanRecordsEnd(const Contents& footer);

    // The trailer of a file of fileSize bytes from its last kTrailerSize
    // bytes; nothing when they are no trailer of this size of file, when
    // its reserved bytes are not 0, or when its times are out of order or
    // further than 2^48 ms from 1970.
    static std::optional<Trailer> DecodeTrailer(std::span<const std::uint8_t> last, std::uint64_t fileSize);
    // The table, checked against the trailer's checksum, for ascending
    // positions before the table, and for times no later than the latest and
    // within 2^48 ms of 1970; nothing when it fails.
    static std::optional<std::vector<KeyFrame>> DecodeTable(const Trailer& trailer, std::span<const std::uint8_t> table,
                                                           std::span<const std::uint8_t> last);
    // The footer that ends the file open as fd, size bytes long; nothing
    // when it has none that holds.
    static std::optional<Contents> ReadFrom(int fd, std::uint64_t size);
    // Bytes that are a footer on their own, judged at the table offset they name.
    static std::optional<Contents> FromBytes(std::span<const std::uint8_t> bytes);
    // The checksum a trailer carries: of the table and the trailer's first 32 bytes.
    static std::uint32_t Checksum(std::span<const std::uint8_t> table, std::span<const std::uint8_t> trailer);

private:
    std::vector<KeyFrame> m_keyFrames;
    std::vector<std::int64_t> m_endTimesBefore;  // latest record time before each key frame
    bool m_sound = true;
    bool m_any = false;
    std::uint64_t m_recordsEnd = 0;
    std::int64_t m_startTimeMs = 0;
    std::int64_t m_endTimeMs = 0;
};

}  // namespace PLAY_MODULE
