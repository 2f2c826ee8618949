#include "Platform/PlayModule/Source/KvxIndexScanner.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Format/ReadAt.h"
#include "Platform/PlayModule/Source/KeyFrameLookup.h"

namespace PLAY_MODULE {

namespace {
constexpr std::size_t kHeaderRead = 1024;
constexpr std::size_t kPage = 4096;
constexpr std::size_t kSearchRead = 64u << 10;
// Below this mean record size, reading whole blocks beats reading headers.
constexpr std::uint64_t kSmallRecord = 64u << 10;
constexpr std::uint64_t kRecordsToJudge = 16;
constexpr std::size_t kBlockRead = 1u << 20;
constexpr int kMaxSlices = 32;
constexpr std::uint64_t kBisectNear = 1u << 20;
constexpr int kMaxProbeRecords = 4096;
// Where the records are small, a search for where they end follows this
// many records, then goes on from the first sound header in a window a
// stride ahead. A gap of kvx::kMaxGapBytes holds a whole window, which
// holds no sound header: there the records are followed one by one again.
constexpr int kHopsPerStride = 16;
constexpr std::uint64_t kGapStride = 16u << 20;
constexpr std::uint64_t kGapWindow = kvx::kMaxGapBytes - kGapStride;

int OpenForHeaders(const std::string& path, std::uint64_t& size)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return -1;
    }
    size = static_cast<std::uint64_t>(st.st_size);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
    return fd;
}
}  // namespace

bool CKvxIndexScanner::Scan(const std::string& path, CKeyFrameIndex& out,
                            const std::atomic<bool>* cancel, std::uint64_t sliceBytes)
{
    std::uint64_t size = 0;
    const int fd = OpenForHeaders(path, size);
    if (fd < 0) return false;
    const bool ok = CKvxIndexScanner(fd, size).Run(out, cancel, sliceBytes);
    ::close(fd);
    return ok;
}

bool CKvxIndexScanner::Index(const std::string& path, CKeyFrameIndex& out, const std::atomic<bool>* cancel)
{
    std::uint64_t size = 0;
    const int fd = OpenForHeaders(path, size);
    if (fd < 0) return false;
    CKvxIndexScanner scanner(fd, size);
    const bool cancelled = cancel && cancel->load();
    const bool ok = !cancelled && (scanner.ReadFooter(out) || scanner.Run(out, cancel, 0));
    ::close(fd);
    return ok;
}

bool CKvxIndexScanner::FooterIndex(const std::string& path, CKeyFrameIndex& out, std::uint64_t& recordsEnd)
{
    std::uint64_t size = 0;
    const int fd = OpenForHeaders(path, size);
    if (fd < 0) return false;
    CKvxIndexScanner scanner(fd, size);
    const bool ok = scanner.ReadFooter(out);
    ::close(fd);
    if (ok) recordsEnd = scanner.m_end;
    return ok;
}

std::optional<std::uint64_t> CKvxIndexScanner::GapBefore(const std::string& path, std::uint64_t pos)
{
    std::uint64_t size = 0;
    const int fd = OpenForHeaders(path, size);
    if (fd < 0) return std::nullopt;
    CKvxIndexScanner scanner(fd, size);
    scanner.EndAtFooter();
    const auto end = scanner.RecordsEndBefore(0, pos);
    ::close(fd);
    return end;
}

std::uint64_t CKvxIndexScanner::CutEnd(const std::string& path, std::uint64_t from, std::uint64_t to)
{
    std::uint64_t size = 0;
    const int fd = OpenForHeaders(path, size);
    if (fd < 0) return to;
    CKvxIndexScanner scanner(fd, size);
    scanner.EndAtFooter();
    const auto end = scanner.RecordsEndBefore(from, to);
    ::close(fd);
    return end ? std::max(from, *end) : to;
}

std::optional<std::uint64_t> CKvxIndexScanner::FindKeyFrame(const std::string& path, std::int64_t timeMs)
{
    std::uint64_t size = 0;
    const int fd = OpenForHeaders(path, size);
    if (fd < 0) return std::nullopt;
    CKvxIndexScanner scanner(fd, size);
    std::optional<std::uint64_t> found;
    if (CKeyFrameIndex index; scanner.ReadFooter(index)) {
        found = KeyFrameAt(index.entries, timeMs, false)->position;
    } else {
        scanner.EndAtFooter();
        scanner.m_end = scanner.RecordsEndBefore(0, scanner.m_end).value_or(scanner.m_end);
        found = scanner.Bisect(timeMs);
    }
    ::close(fd);
    return found;
}

// The index in the footer, when its checks hold and it names the records
// of this file as they are, and its key frames stand close enough that
// the records cannot end between two of them.
bool CKvxIndexScanner::ReadFooter(CKeyFrameIndex& out)
{
    const auto footer = CKvxIndexFooter::ReadFrom(m_fd, m_size);
    if (!footer || CKvxIndexFooter::MaySpanRecordsEnd(*footer)) return false;
    CKeyFrameIndex index;
    index.container = CKeyFrameIndex::Container::Kvx;
    index.absoluteTimes = true;
    index.fileSize = m_size;
    index.startTimeMs = footer->trailer.startTimeMs;
    index.endTimeMs = footer->trailer.endTimeMs;
    index.entries.reserve(footer->keyFrames.size());
    for (const auto& key : footer->keyFrames) index.entries.push_back({key.timeMs, key.position});
    if (!index.IsSound()) return false;
    AskForFooterRecords(*footer);
    if (!NamesRecordsRead(*footer)) return false;
    m_end = footer->trailer.tableOffset;
    out = std::move(index);
    return true;
}

// The kernel starts reading the pages the footer's checks read, all at
// once, instead of one after the other as they are asked for.
void CKvxIndexScanner::AskForFooterRecords(const CKvxIndexFooter::Contents& footer) const
{
    for (const auto& key : footer.keyFrames)
        ::posix_fadvise(m_fd, off_t(key.position), off_t(kvx::kHeaderSize), POSIX_FADV_WILLNEED);
    const std::uint64_t lastKey = footer.keyFrames.back().position;
    ::posix_fadvise(m_fd, off_t(lastKey), off_t(footer.trailer.tableOffset - lastKey), POSIX_FADV_WILLNEED);
}

// Reads the records the footer names (its key frames, and the records of
// the last group up to the table) and judges the footer on them as the
// watermark check does on all: a footer that leaves out a key frame read,
// the first included, or whose latest time lies in an earlier group, is
// not taken (the file is walked); nor one that names a key frame with no
// marker after it, which the reader may find cut off.
bool CKvxIndexScanner::NamesRecordsRead(const CKvxIndexFooter::Contents& footer)
{
    CKvxIndexFooter read;
    KvxRecordHeader header;
    const std::uint64_t table = footer.trailer.tableOffset;
    std::vector<std::pair<KvxRecordHeader, std::uint64_t>> keys;
    keys.reserve(footer.keyFrames.size());
    for (std::size_t i = 0; i + 1 < footer.keyFrames.size(); ++i) {
        const std::uint64_t pos = footer.keyFrames[i].position;
        if (!HeaderAt(pos, header)) return false;
        read.NoteApart(header, pos);
        keys.emplace_back(header, pos + kvx::kHeaderSize + header.payloadSize);
    }
    // The pages after the key frames are asked for at once, as their headers were.
    for (const auto& key : keys)
        ::posix_fadvise(m_fd, off_t(key.second), off_t(kvx::kHeaderSize), POSIX_FADV_WILLNEED);
    for (const auto& [key, end] : keys)
        if (!EndsWhole(key, end, table)) return false;
    const std::uint64_t lastKey = footer.keyFrames.back().position;
    for (std::uint64_t pos = lastKey; pos < table; pos += kvx::kHeaderSize + header.payloadSize) {
        if (table - pos < kvx::kHeaderSize || !HeaderAt(pos, header) ||
            header.payloadSize > table - pos - kvx::kHeaderSize)
            return false;
        read.NoteApart(header, pos);
    }
    return read.Describes(footer);
}

// Whether the record with header that ends at end is whole for the reader
// (not cut off by one inside it), judged on the bytes after it as the
// reader judges them (KvxRecordHeader::EndsWholeBefore).
bool CKvxIndexScanner::EndsWhole(const KvxRecordHeader& header, std::uint64_t end, std::uint64_t recordsEnd)
{
    if (end > recordsEnd) return false;
    const auto after = static_cast<std::size_t>(std::min<std::uint64_t>(recordsEnd - end, kvx::kHeaderSize));
    if (after == 0) return true;
    if (!Window(end, after)) return false;
    return header.EndsWholeBefore(m_window.data() + (end - m_windowStart), after);
}

// Records end at the table of a footer that holds, as for the reader, so
// that a walk never takes the footer's bytes for damage after a record.
void CKvxIndexScanner::EndAtFooter()
{
    const auto footer = CKvxIndexFooter::ReadFrom(m_fd, m_size);
    m_end = footer ? footer->trailer.tableOffset : m_size;
}

// Makes [pos, pos + size) readable from m_window, as far as the file goes.
// Reads stop at a page end, so a header costs one page of the file.
bool CKvxIndexScanner::Window(std::uint64_t pos, std::size_t size)
{
    if (pos >= m_windowStart && pos + size <= m_windowStart + m_windowSize) return true;
    const std::size_t toPageEnd = kPage - static_cast<std::size_t>(pos % kPage);
    const std::size_t want = std::max(size, m_blockReads ? kBlockRead : std::min(kHeaderRead, toPageEnd));
    if (m_window.size() < want) m_window.resize(std::max(want, kHeaderRead));
    const ssize_t n = ReadAt(m_fd, m_window.data(), want, pos);
    m_windowStart = pos;
    m_windowSize = n > 0 ? static_cast<std::size_t>(n) : 0;
    return m_windowSize >= size;
}
bool CKvxIndexScanner::HeaderAt(std::uint64_t pos, KvxRecordHeader& header)
{
    if (pos + kvx::kHeaderSize > m_end || !Window(pos, kvx::kHeaderSize)) return false;
    return header.Decode(m_window.data() + (pos - m_windowStart));
}

// The first sound header that starts in [from, before); its bytes may run
// past before, up to where the records end.
std::optional<std::uint64_t> CKvxIndexScanner::FindHeaderFrom(std::uint64_t from, std::uint64_t before)
{
    before = std::min(before, m_end);
    std::vector<std::uint8_t> block(kSearchRead);
    while (from < before && from + kvx::kHeaderSize <= m_end) {
        const ssize_t n = ReadAt(m_fd, block.data(), kSearchRead, from);
        if (n < 4) return std::nullopt;
        const std::size_t starts =
            static_cast<std::size_t>(std::min<std::uint64_t>(std::uint64_t(n) - 3, before - from));
        for (std::size_t i = 0; i < starts; ++i) {
            const void* hit = std::memchr(block.data() + i, kvx::kMarker[0], starts - i);
            if (!hit) break;
            i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - block.data());
            KvxRecordHeader header;
            if (KvxRecordHeader::StartsWithMarker(block.data() + i) && HeaderAt(from + i, header)) return from + i;
        }
        from += starts;
    }
    return std::nullopt;
}

// Where reading goes on after the record at pos (sound, within the records)
// when another record cut it off: at the first sound header inside its
// claimed length, when it does not end whole. As the reader.
std::optional<std::uint64_t> CKvxIndexScanner::CutOffBy(std::uint64_t pos, const KvxRecordHeader& header)
{
    const std::uint64_t end = pos + kvx::kHeaderSize + header.payloadSize;
    if (EndsWhole(header, end, m_end)) return std::nullopt;
    return FindHeaderFrom(pos + kvx::kHeaderSize, end);
}

bool CKvxIndexScanner::Run(CKeyFrameIndex& out, const std::atomic<bool>* cancel, std::uint64_t sliceBytes)
{
    out = CKeyFrameIndex{};
    out.container = CKeyFrameIndex::Container::Kvx;
    out.absoluteTimes = true;
    out.fileSize = m_size;
    EndAtFooter();
    m_blockReads = SmallRecords();
    ::posix_fadvise(m_fd, 0, 0, m_blockReads ? POSIX_FADV_SEQUENTIAL : POSIX_FADV_RANDOM);
    if (sliceBytes == 0) sliceBytes = m_blockReads ? m_end + 1 : kSliceBytes;
    int slices = static_cast<int>(std::min<std::uint64_t>(kMaxSlices, m_end / sliceBytes));
    // Slices of a damaged tail would each search it for a record: walk alone.
    if (slices > 1 && !FindHeaderFrom(m_end - std::min(m_end, kvx::kMaxGapBytes), m_end)) slices = 0;
    bool joined = false;
    if (slices > 1) {
        const bool any = RunSlices(out, slices, cancel, joined);
        if (joined || (cancel && cancel->load())) return any && joined;
        out.entries.clear();
    }
    Slice whole;
    if (!Walk(0, m_end, whole, cancel)) return false;
    out.entries = std::move(whole.entries);
    out.startTimeMs = whole.startTimeMs;
    out.endTimeMs = whole.endTimeMs;
    return whole.any;
}

// Each slice walks from its first sound header on its own thread; the
// slices make one scan when each chain leaves its slice at the next one's
// first header. Otherwise (damage at a seam) joined stays false.
bool CKvxIndexScanner::RunSlices(CKeyFrameIndex& out, int count, const std::atomic<bool>* cancel,
                                 bool& joined)
{
    std::vector<Slice> slices(static_cast<std::size_t>(count));
    std::vector<char> walked(slices.size(), 0);
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < slices.size(); ++i) {
            threads.emplace_back([&, i] {
                CKvxIndexScanner scanner(m_fd, m_size);
                scanner.m_end = m_end;
                scanner.m_blockReads = m_blockReads;
                const std::uint64_t begin = m_end / slices.size() * i;
                const std::uint64_t end = i + 1 == slices.size() ? m_end : begin + m_end / slices.size();
                const auto first = i == 0 ? std::optional<std::uint64_t>(0)
                                          : scanner.FindHeaderFrom(begin, begin + kvx::kMaxGapBytes);
                slices[i].firstPos = slices[i].exitPos = first ? *first : m_end;
                walked[i] = slices[i].firstPos >= end || scanner.Walk(slices[i].firstPos, end, slices[i], cancel);
            });
        }
    }
    joined = std::all_of(walked.begin(), walked.end(), [](char w) { return w != 0; });
    for (std::size_t i = 0; joined && i + 1 < slices.size(); ++i)
        joined = slices[i].exitClean && slices[i].exitPos == slices[i + 1].firstPos;
    if (!joined) return false;
    bool any = false;
    for (Slice& slice : slices) {
        if (!slice.any) continue;
        if (!any) out.startTimeMs = slice.startTimeMs;
        out.endTimeMs = any ? std::max(out.endTimeMs, slice.endTimeMs) : slice.endTimeMs;
        out.entries.insert(out.entries.end(), slice.entries.begin(), slice.entries.end());
        any = true;
    }
    return any;
}

// Follows the record chain from pos until it reaches stop, record by
// record, by the reader's rules; false when cancelled.
bool CKvxIndexScanner::Walk(std::uint64_t pos, std::uint64_t stop, Slice& out,
                            const std::atomic<bool>* cancel)
{
    KvxRecordHeader header;
    std::uint64_t lastEnd = pos;
    while (pos < m_end && pos < stop) {
        if (cancel && cancel->load(std::memory_order_relaxed)) return false;
        const auto next = NextRecord(pos, lastEnd, header);
        if (!next) {
            pos = m_end;
            break;
        }
        if (*next != pos) {
            pos = *next;
            continue;
        }
        if (header.IsKeyFrame()) out.entries.push_back({header.timeMs, pos});
        if (!out.any) out.startTimeMs = header.timeMs;
        out.endTimeMs = out.any ? std::max(out.endTimeMs, header.timeMs) : header.timeMs;
        out.any = true;
        pos = lastEnd = pos + kvx::kHeaderSize + header.payloadSize;
    }
    out.exitPos = pos;
    out.exitClean = pos == lastEnd || pos >= m_end;
    return true;
}

// pos when a whole record starts there (its header in header); else where
// to look next: the next sound header after damage at pos, or, in a record
// that was cut off, the one inside it; nothing when the records end (no
// record starts within kvx::kMaxGapBytes after lastEnd).
std::optional<std::uint64_t> CKvxIndexScanner::NextRecord(std::uint64_t pos, std::uint64_t lastEnd,
                                                          KvxRecordHeader& header)
{
    if (kvx::PastRecordsEnd(lastEnd, pos)) return std::nullopt;
    const std::uint64_t before = lastEnd + kvx::kMaxGapBytes;
    if (!HeaderAt(pos, header) || header.payloadSize > m_end - pos - kvx::kHeaderSize)
        return FindHeaderFrom(pos + 1, before);
    if (const auto inner = CutOffBy(pos, header)) return inner;
    return pos;
}

// Where the records read from `from` end (kvx::PastRecordsEnd) when they
// end before `to`; nothing when they reach it or the end of the file. Large records are followed one by one; small ones are
// followed kHopsPerStride at a time, then taken up again at the first sound
// header a stride ahead, as long as its window holds one.
std::optional<std::uint64_t> CKvxIndexScanner::RecordsEndBefore(std::uint64_t from, std::uint64_t to)
{
    to = std::min(to, m_end);
    std::uint64_t pos = from;
    std::uint64_t lastEnd = from;
    std::uint64_t closeUntil = from;  // records are followed one by one up to here
    KvxRecordHeader header;
    for (int hops = 0; pos < to; ++hops) {
        if (hops >= kHopsPerStride && pos >= closeUntil && to - pos > kGapStride + kGapWindow) {
            hops = 0;
            const std::uint64_t window = pos + kGapStride;
            // A record found there lies within kMaxGapBytes of any end before it.
            if (const auto ahead = FindHeaderFrom(window, window + kGapWindow)) {
                pos = lastEnd = *ahead;
                continue;
            }
            closeUntil = window + kGapWindow;
        }
        const auto next = NextRecord(pos, lastEnd, header);
        if (!next) return kvx::PastRecordsEnd(lastEnd, m_end) ? std::optional(lastEnd) : std::nullopt;
        if (*next != pos) pos = *next;
        else pos = lastEnd = pos + kvx::kHeaderSize + header.payloadSize;
    }
    return std::nullopt;
}

// Judged on the first records of the file.
bool CKvxIndexScanner::SmallRecords()
{
    std::uint64_t pos = 0;
    std::uint64_t records = 0;
    KvxRecordHeader header;
    while (records < kRecordsToJudge && HeaderAt(pos, header) &&
           header.payloadSize <= m_end - pos - kvx::kHeaderSize) {
        pos += kvx::kHeaderSize + header.payloadSize;
        ++records;
    }
    return records == 0 || pos / records < kSmallRecord;
}

// The first key frame whose record starts at or after from.
std::optional<CKeyFrameIndex::Entry> CKvxIndexScanner::KeyFrameFrom(std::uint64_t from)
{
    auto pos = FindHeaderFrom(from, from + kvx::kMaxGapBytes);
    std::uint64_t lastEnd = pos.value_or(0);
    KvxRecordHeader header;
    for (int records = 0; pos && *pos < m_end && records < kMaxProbeRecords; ++records) {
        const auto next = NextRecord(*pos, lastEnd, header);
        if (next && *next == *pos && header.IsKeyFrame()) return CKeyFrameIndex::Entry{header.timeMs, *pos};
        if (next && *next == *pos) lastEnd = *pos += kvx::kHeaderSize + header.payloadSize;
        else pos = next;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> CKvxIndexScanner::Bisect(std::int64_t timeMs)
{
    auto best = KeyFrameFrom(0);
    if (!best || best->timeMs > timeMs) return best ? std::optional(best->position) : std::nullopt;
    std::uint64_t low = best->position + 1;
    std::uint64_t high = m_end;
    while (high > low + kBisectNear) {
        const std::uint64_t middle = low + (high - low) / 2;
        const auto key = KeyFrameFrom(middle);
        if (key && key->timeMs <= timeMs) {
            best = key;
            low = key->position + 1;
        } else {
            high = middle;
        }
    }
    // On from the end of its record: a key-frame header planted in its
    // picture is never taken.
    KvxRecordHeader header;
    while (HeaderAt(best->position, header)) {
        const auto next = KeyFrameFrom(best->position + kvx::kHeaderSize + header.payloadSize);
        if (!next) break;
        if (next->timeMs > timeMs) break;
        best = next;
    }
    return best->position;
}

}  // namespace PLAY_MODULE
