#include "Platform/PlayModule/Support/KvxReferenceWalk.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Platform/PlayModule/Format/KvxFileReader.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Source/KvxIndexScanner.h"
#include "Platform/PlayModule/Source/KvxMediaSource.h"

using namespace PLAY_MODULE;

namespace PLAY_MODULE_TEST {

namespace {

// The bytes of a file up to where the walk has looked, read as it goes.
class FileBytes {
public:
    explicit FileBytes(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        struct stat st {};
        if (m_fd >= 0 && ::fstat(m_fd, &st) == 0) m_size = std::uint64_t(st.st_size);
        const auto footer = m_fd >= 0 ? CKvxIndexFooter::ReadFrom(m_fd, m_size) : std::nullopt;
        m_end = footer ? footer->trailer.tableOffset : m_size;
    }
    ~FileBytes()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    std::uint64_t End() const { return m_end; }

    bool SoundHeaderAt(std::uint64_t pos, KvxRecordHeader& header)
    {
        return pos + kvx::kHeaderSize <= m_end && Load(pos + kvx::kHeaderSize) && header.Decode(&m_bytes[pos]);
    }
    // Whether the record with header that ends at pos is whole, judged on the bytes after it.
    bool EndsWholeAt(const KvxRecordHeader& header, std::uint64_t pos)
    {
        const auto after = std::size_t(std::min<std::uint64_t>(m_end - pos, kvx::kHeaderSize));
        return !Load(pos + after) || header.EndsWholeBefore(m_bytes.data() + pos, after);
    }

private:
    bool Load(std::uint64_t upTo)
    {
        while (m_bytes.size() < upTo) {
            const std::size_t have = m_bytes.size();
            m_bytes.resize(have + (1u << 20));
            const ssize_t n = ::pread(m_fd, m_bytes.data() + have, 1u << 20, off_t(have));
            m_bytes.resize(have + std::size_t(std::max<ssize_t>(n, 0)));
            if (n <= 0) return false;
        }
        return true;
    }

    int m_fd;
    std::uint64_t m_size = 0;
    std::uint64_t m_end = 0;
    std::vector<std::uint8_t> m_bytes;
};

// The first position in [from, before) where a sound header starts; before when none does.
std::uint64_t FirstSoundHeader(FileBytes& bytes, std::uint64_t from, std::uint64_t before)
{
    KvxRecordHeader header;
    for (std::uint64_t pos = from; pos < before; ++pos)
        if (bytes.SoundHeaderAt(pos, header)) return pos;
    return before;
}

std::string Describe(const char* what, std::uint64_t got, std::uint64_t want)
{
    std::ostringstream text;
    text << what << ": " << std::int64_t(got) << " instead of " << std::int64_t(want) << "\n";
    return text.str();
}

std::string CompareIndex(const char* what, bool ok, const CKeyFrameIndex& index,
                         const std::vector<ReferenceRecord>& records, std::optional<std::int64_t> latestNamed = {})
{
    if (!ok || records.empty())
        return ok == !records.empty() ? "" : Describe(what, ok, !records.empty());
    std::vector<CKeyFrameIndex::Entry> keys;
    std::int64_t latest = records.front().header.timeMs;
    for (const auto& record : records) {
        latest = std::max(latest, record.header.timeMs);
        if (record.header.IsKeyFrame()) keys.push_back({record.header.timeMs, record.position});
    }
    std::string out;
    if (index.entries.size() != keys.size())
        out += Describe(what, index.entries.size(), keys.size());
    for (std::size_t i = 0; out.empty() && i < keys.size(); ++i)
        if (index.entries[i].position != keys[i].position || index.entries[i].timeMs != keys[i].timeMs)
            out += Describe(what, index.entries[i].position, keys[i].position);
    if (index.startTimeMs != records.front().header.timeMs)
        out += Describe(what, index.startTimeMs, records.front().header.timeMs);
    latest = latestNamed.value_or(latest);
    if (index.endTimeMs != latest) out += Describe(what, index.endTimeMs, latest);
    return out;
}

// The latest time a footer names, when the index came from it: a record of
// an earlier group with a later time is seen by a walk only (docs/kvx-format.md).
std::optional<std::int64_t> FooterLatestTime(const std::string& path, const CKeyFrameIndex& index)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    const auto footer = ::fstat(fd, &st) == 0 ? CKvxIndexFooter::ReadFrom(fd, std::uint64_t(st.st_size)) : std::nullopt;
    ::close(fd);
    if (!footer || footer->keyFrames.size() != index.entries.size() ||
        footer->trailer.endTimeMs != index.endTimeMs)
        return std::nullopt;
    for (std::size_t i = 0; i < index.entries.size(); ++i)
        if (footer->keyFrames[i].position != index.entries[i].position) return std::nullopt;
    return footer->trailer.endTimeMs;
}

std::string CompareReader(const std::string& path, const std::vector<ReferenceRecord>& records)
{
    CKvxFileReader reader;
    KvxRecord record;
    std::size_t count = 0;
    for (bool open = reader.Open(path); open && reader.ReadNext(record); ++count)
        if (count >= records.size() || record.offset != records[count].position)
            return Describe("record read at", record.offset, count < records.size() ? records[count].position : 0);
    return count == records.size() ? "" : Describe("records read", count, records.size());
}

template <typename Key>
bool Rising(const std::vector<ReferenceRecord>& records, Key key)
{
    std::int64_t last = INT64_MIN;
    for (const auto& record : records) {
        if (!key(record)) continue;
        if (record.header.timeMs <= last) return false;
        last = record.header.timeMs;
    }
    return true;
}

bool IsVideo(const ReferenceRecord& record) { return record.header.kind == kvx::RecordKind::Video; }
bool IsKey(const ReferenceRecord& record) { return record.header.IsKeyFrame(); }

// The key frame found without an index, at and just before the first,
// a middle and the last key frame.
std::string CompareFoundKeyFrames(const std::string& path, const std::vector<ReferenceRecord>& records)
{
    std::vector<const ReferenceRecord*> keys;
    for (const auto& record : records)
        if (IsKey(record)) keys.push_back(&record);
    if (keys.empty() || !Rising(records, IsKey)) return {};
    std::string out;
    for (const std::size_t i : {std::size_t(0), keys.size() / 2, keys.size() - 1}) {
        for (const std::int64_t delta : {-1, 0}) {
            const std::int64_t time = keys[i]->header.timeMs + delta;
            const std::size_t want = delta < 0 && i > 0 ? i - 1 : i;
            const auto found = CKvxIndexScanner::FindKeyFrame(path, time);
            if (found != keys[want]->position)
                out += Describe("key frame found", found.value_or(UINT64_MAX), keys[want]->position);
        }
    }
    return out;
}

// The end the open reads: one frame after the latest picture.
std::string CompareEndTime(const std::string& path, const std::vector<ReferenceRecord>& records)
{
    CKvxMediaSource source(nullptr);
    if (!Rising(records, IsVideo) || !source.Open(path)) return {};
    std::int64_t latest = source.OwnStartTimeMs();
    for (const auto& record : records)
        if (IsVideo(record)) latest = std::max(latest, record.header.timeMs);
    const std::int64_t end = source.OwnStartTimeMs() + source.DurationMs();
    const std::int64_t want = latest + std::int64_t(1000.0 / source.FrameRate());
    return end == want ? "" : Describe("end time", std::uint64_t(end), std::uint64_t(want));
}

// Where an export's cut ends, from the start and from the middle key frame
// to the end of the file: where the last record ends when the records end
// at a gap, else the end of the file.
std::string CompareCutEnds(const std::string& path, const std::vector<ReferenceRecord>& records)
{
    std::uint64_t size = 0;
    const FileBytes bytes(path);
    if (struct stat st {}; ::stat(path.c_str(), &st) == 0) size = std::uint64_t(st.st_size);
    const std::uint64_t last = records.empty() ? 0 : records.back().position + kvx::kHeaderSize +
                                                         records.back().header.payloadSize;
    const std::uint64_t want = kvx::PastRecordsEnd(last, bytes.End()) ? last : size;
    std::vector<std::uint64_t> froms{0};
    for (std::size_t i = records.size() / 2; i < records.size(); ++i)
        if (IsKey(records[i])) {
            froms.push_back(records[i].position);
            break;
        }
    std::string out;
    for (const std::uint64_t from : froms)
        if (const std::uint64_t end = CKvxIndexScanner::CutEnd(path, from, size); end != std::max(want, from))
            out += Describe("cut end", end, want);
    return out;
}

}  // namespace

std::vector<ReferenceRecord> ReferenceWalk(const std::string& path)
{
    FileBytes bytes(path);
    const std::uint64_t end = bytes.End();
    std::vector<ReferenceRecord> records;
    std::uint64_t lastEnd = 0;
    std::uint64_t pos = 0;
    while (pos < end && !kvx::PastRecordsEnd(lastEnd, pos)) {
        const std::uint64_t before = std::min(end, lastEnd + kvx::kMaxGapBytes);
        KvxRecordHeader header;
        if (!bytes.SoundHeaderAt(pos, header) || header.payloadSize > end - pos - kvx::kHeaderSize) {
            pos = FirstSoundHeader(bytes, pos + 1, before);
            continue;
        }
        const std::uint64_t recordEnd = pos + kvx::kHeaderSize + header.payloadSize;
        if (!bytes.EndsWholeAt(header, recordEnd)) {
            const std::uint64_t inner = FirstSoundHeader(bytes, pos + kvx::kHeaderSize, recordEnd);
            if (inner < recordEnd) {
                pos = inner;
                continue;
            }
        }
        records.push_back({pos, header});
        pos = lastEnd = recordEnd;
    }
    return records;
}

std::string WalkDisagreement(const std::string& path, const std::vector<ReferenceRecord>& records)
{
    std::string out = CompareReader(path, records);
    CKeyFrameIndex index;
    bool ok = CKvxIndexScanner::Scan(path, index);
    out += CompareIndex("walk", ok, index, records);
    ok = CKvxIndexScanner::Scan(path, index, nullptr, 1u << 20);
    out += CompareIndex("walk in slices", ok, index, records);
    return out;
}

std::string FastPathDisagreement(const std::string& path)
{
    const auto records = ReferenceWalk(path);
    std::string out = WalkDisagreement(path, records);
    CKeyFrameIndex index;
    const bool ok = CKvxIndexScanner::Index(path, index);
    out += CompareIndex("index", ok, index, records, FooterLatestTime(path, index));
    out += CompareFoundKeyFrames(path, records);
    out += CompareEndTime(path, records);
    out += CompareCutEnds(path, records);
    return out;
}

}  // namespace PLAY_MODULE_TEST
