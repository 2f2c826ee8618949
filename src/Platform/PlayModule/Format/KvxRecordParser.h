#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "Platform/PlayModule/Format/KvxRecord.h"

namespace PLAY_MODULE {

// Finds ".kvx" records in bytes fed in blocks of any size. Damage (bytes
// that are no record, a header that fails its checks, a record cut off by
// the next one) is skipped and counted; no length is trusted before the
// header checksum held.
class CKvxRecordParser {
public:
    enum class Status { Record, NeedMore };

    void Feed(std::span<const std::uint8_t> bytes);
    // The next whole record, or NeedMore when the fed bytes hold none.
    Status Next(KvxRecord& out);
    // With no more bytes coming for now: gives up an incomplete record at
    // the front when a sound header follows inside it (it was cut off).
    // True when it skipped something.
    bool SkipCutOffRecord();
    // Drops every byte not yet handed out (input ended or went idle).
    void DiscardPending();
    // Forgets everything; the next byte fed sits at streamOffset.
    void Reset(std::uint64_t streamOffset = 0);
    // While more bytes are coming, a record is handed out only once the
    // bytes after it are here (to tell whether a record cut it off), so that
    // where the bytes were split never changes the records found.
    void SetMoreComing(bool more) { m_moreComing = more; }
    bool MoreComing() const { return m_moreComing; }
    // With the bound set, no record past the end of the records
    // (kvx::PastRecordsEnd) is handed out.
    void SetGapBound(bool bound) { m_gapBound = bound; }
    bool GapExceeded() const { return m_gapBound && kvx::PastRecordsEnd(m_lastEnd, Offset()); }
    // Stream end of the record whose sound header waits at the front.
    std::optional<std::uint64_t> PendingRecordEnd() const;

    std::size_t PendingBytes() const { return m_buffer.size() - m_pos; }
    std::uint64_t SkippedBytes() const { return m_skipped; }
    // Stream offset of the first byte not yet handed out.
    std::uint64_t Offset() const { return m_base + m_pos; }

private:
    bool SkipToMarker();
    bool FindSoundHeader(std::size_t from, std::size_t to, std::size_t& found) const;
    bool IsSoundHeaderAt(std::size_t at) const;
    void Skip(std::size_t count);
    void Compact();

    std::vector<std::uint8_t> m_buffer;
    std::size_t m_pos = 0;
    std::uint64_t m_base = 0;  // stream offset of m_buffer[0]
    std::uint64_t m_skipped = 0;
    std::uint64_t m_lastEnd = 0;  // stream offset after the last record handed out
    bool m_gapBound = false;
    bool m_moreComing = false;
};

}  // namespace PLAY_MODULE
