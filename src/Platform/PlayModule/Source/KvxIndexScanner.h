#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Platform/PlayModule/Source/KeyFrameIndex.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Format/KvxRecordHeader.h"

namespace PLAY_MODULE {

// Builds the key-frame index of a ".kvx" file: from the key-frame footer
// its writer left, or else from its record headers. A file of small records
// is read in large blocks, in order (reading ahead beats reading headers
// alone there). In a file of large records, payloads are stepped over, never
// read (the kernel is told not to read ahead), and large files are scanned in
// slices at once, joined where their record chains meet. Records are found
// as the file reader finds them: damage is stepped over to the next sound
// header after it, a record cut off (its end followed by no marker, a sound
// header inside its length) gives way to the records inside it, a header
// inside a whole record taken is never read, and the records end where none
// starts within kvx::kMaxGapBytes after the last one.
class CKvxIndexScanner {
public:
    // Files of large records, of two slices or more, are scanned in slices at once.
    static constexpr std::uint64_t kSliceBytes = 8u << 20;

    // The footer's index when it holds, else Scan's.
    static bool Index(const std::string& path, CKeyFrameIndex& out, const std::atomic<bool>* cancel = nullptr);
    // The index the footer names, when it holds, without walking the file;
    // recordsEnd: where the records end (the footer's table).
    static bool FooterIndex(const std::string& path, CKeyFrameIndex& out, std::uint64_t& recordsEnd);
    // False when the file cannot be opened or holds no record; a set
    // cancel flag ends the scan early (false). sliceBytes 0: a file of small
    // records is read whole, in order; others in slices of kSliceBytes.
    static bool Scan(const std::string& path, CKeyFrameIndex& out,
                     const std::atomic<bool>* cancel = nullptr, std::uint64_t sliceBytes = 0);
    // Where the records read from the start end, when they end before pos
    // (a gap the reader does not pass, kvx::PastRecordsEnd); nothing when
    // they reach it.
    static std::optional<std::uint64_t> GapBefore(const std::string& path, std::uint64_t pos);
    // The end of a cut [from, to) of the file's records: to, or where the
    // records read from `from` end before it at a gap.
    static std::uint64_t CutEnd(const std::string& path, std::uint64_t from, std::uint64_t to);
    // Position of the last key frame at or before timeMs (UTC ms), from the
    // footer or else by bisection; the first key frame when all are later.
    static std::optional<std::uint64_t> FindKeyFrame(const std::string& path, std::int64_t timeMs);

private:
    struct Slice {
        std::vector<CKeyFrameIndex::Entry> entries;
        bool any = false;
        std::int64_t startTimeMs = 0;
        std::int64_t endTimeMs = 0;
        std::uint64_t firstPos = 0;  // first sound header of the slice
        std::uint64_t exitPos = 0;   // where its chain left the slice
        bool exitClean = false;      // right after a record it took, or at the end
    };

    explicit CKvxIndexScanner(int fd, std::uint64_t size) : m_fd(fd), m_size(size), m_end(size) {}
    bool ReadFooter(CKeyFrameIndex& out);
    void AskForFooterRecords(const CKvxIndexFooter::Contents& footer) const;
    bool NamesRecordsRead(const CKvxIndexFooter::Contents& footer);
    void EndAtFooter();
    bool SmallRecords();
    bool Run(CKeyFrameIndex& out, const std::atomic<bool>* cancel, std::uint64_t sliceBytes);
    bool RunSlices(CKeyFrameIndex& out, int slices, const std::atomic<bool>* cancel, bool& joined);
    bool Walk(std::uint64_t pos, std::uint64_t stop, Slice& out, const std::atomic<bool>* cancel);
    std::optional<CKeyFrameIndex::Entry> KeyFrameFrom(std::uint64_t from);
    std::optional<std::uint64_t> Bisect(std::int64_t timeMs);
    std::optional<std::uint64_t> RecordsEndBefore(std::uint64_t from, std::uint64_t to);
    bool HeaderAt(std::uint64_t pos, KvxRecordHeader& header);
    std::optional<std::uint64_t> FindHeaderFrom(std::uint64_t from, std::uint64_t before);
    bool EndsWhole(const KvxRecordHeader& header, std::uint64_t end, std::uint64_t recordsEnd);
    std::optional<std::uint64_t> CutOffBy(std::uint64_t pos, const KvxRecordHeader& header);
    std::optional<std::uint64_t> NextRecord(std::uint64_t pos, std::uint64_t lastEnd, KvxRecordHeader& header);
    bool Window(std::uint64_t pos, std::size_t size);

    int m_fd;
    std::uint64_t m_size;
    std::uint64_t m_end;  // where the records end
    std::vector<std::uint8_t> m_window;
    std::uint64_t m_windowStart = 0;
    std::size_t m_windowSize = 0;
    bool m_blockReads = false;  // whole blocks, not headers alone
};

}  // namespace PLAY_MODULE
