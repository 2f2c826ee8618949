#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "Platform/PlayModule/Format/KvxRecordParser.h"

namespace PLAY_MODULE {

// Reads the records of a ".kvx" (or growing ".kvx_") file in order; they
// end at the key-frame footer when the file has one, or where no record
// starts within kvx::kMaxGapBytes after the last one. At the current end of
// the file ReadNext returns false; when the file has grown, later calls go
// on where it stopped.
class CKvxFileReader {
public:
    CKvxFileReader() = default;
    ~CKvxFileReader();
    CKvxFileReader(const CKvxFileReader&) = delete;
    CKvxFileReader& operator=(const CKvxFileReader&) = delete;

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    bool ReadNext(KvxRecord& out);
    // The next record is searched from this byte position on.
    void Seek(std::uint64_t offset);
    // ReadNext reads no byte at or past limit (until it is lifted).
    static constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();
    void SetReadLimit(std::uint64_t limit) { m_readLimit = limit; }
    // Size of the file now (it may grow).
    std::uint64_t FileSize() const;
    // Where the records end now: at the footer when one holds, else at the end.
    std::uint64_t RecordsEnd();
    std::uint64_t SkippedBytes() const { return m_parser.SkippedBytes(); }
    // After ReadNext returned false: the end of a record whose header was
    // read but whose bytes run past what could be read.
    std::optional<std::uint64_t> PendingRecordEnd() const;
    // Position of the last key frame the footer names; nothing without a
    // footer, or with one whose key frames the records may end between.
    std::optional<std::uint64_t> FooterLastKeyFrame();
    // The header of a record at pos, read alone; false when none holds there.
    bool ReadHeaderAt(std::uint64_t pos, KvxRecordHeader& out) const;

private:
    bool ReadMore();

    int m_fd = -1;
    std::uint64_t m_readPos = 0;
    std::uint64_t m_readLimit = kNoLimit;
    std::uint64_t m_sizeSeen = 0;
    std::uint64_t m_recordsEnd = 0;
    std::optional<std::uint64_t> m_footerLastKey;
    CKvxRecordParser m_parser;
    std::vector<std::uint8_t> m_chunk;
};

}  // namespace PLAY_MODULE
