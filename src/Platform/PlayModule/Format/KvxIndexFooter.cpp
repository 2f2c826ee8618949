#include "Platform/PlayModule/Format/KvxIndexFooter.h"

#include <algorithm>
#include <cstring>

#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/Crc32.h"
#include "Platform/PlayModule/Format/ReadAt.h"

namespace PLAY_MODULE {

namespace {
constexpr char kMagic[8] = {'K', 'V', 'X', 'I', 'N', 'D', 'E', 'X'};
constexpr std::size_t kChecksumAt = 32;
constexpr std::size_t kMagicAt = 40;
constexpr std::size_t kReservedAt[] = {12, 36};
constexpr std::uint32_t kMaxCount = CKvxIndexFooter::kMaxKeyFrames;

}  // namespace

std::uint32_t CKvxIndexFooter::Checksum(std::span<const std::uint8_t> table, std::span<const std::uint8_t> trailer)
{
    std::vector<std::uint8_t> covered(table.begin(), table.end());
    covered.insert(covered.end(), trailer.begin(), trailer.begin() + kChecksumAt);
    return Crc32(covered.data(), covered.size());
}

void CKvxIndexFooter::NoteRecords(std::span<const std::uint8_t> bytes, std::uint64_t position)
{
    KvxRecordHeader header;
    std::size_t at = 0;
    while (m_sound && at < bytes.size()) {
        if (bytes.size() - at < kvx::kHeaderSize || !header.Decode(bytes.data() + at) ||
            header.payloadSize > bytes.size() - at - kvx::kHeaderSize) {
            Spoil();
            break;
        }
        Note(header, position + at);
        at += kvx::kHeaderSize + header.payloadSize;
    }
}

void CKvxIndexFooter::Note(const KvxRecordHeader& header, std::uint64_t position)
{
    if (m_any && position != m_recordsEnd) Spoil();
    if (!m_sound) return;
    if (header.IsKeyFrame() && m_keyFrames.size() == kMaxCount) {
        Spoil();  // more than any footer may name
        return;
    }
    if (header.IsKeyFrame()) {
        m_keyFrames.push_back({header.timeMs, position});
        m_endTimesBefore.push_back(m_endTimeMs);
    }
    m_startTimeMs = m_any ? m_startTimeMs : header.timeMs;
    m_endTimeMs = m_any ? std::max(m_endTimeMs, header.timeMs) : header.timeMs;
    m_any = true;
    m_recordsEnd = position + kvx::kHeaderSize + header.payloadSize;
}

void CKvxIndexFooter::NoteApart(const KvxRecordHeader& header, std::uint64_t position)
{
    if (m_any && position < m_recordsEnd) Spoil();
    m_recordsEnd = position;
    Note(header, position);
}

std::vector<std::uint8_t> CKvxIndexFooter::Encode(std::uint64_t tableOffset) const
{
    const auto cut = std::lower_bound(m_keyFrames.begin(), m_keyFrames.end(), tableOffset,
                                      [](const KeyFrame& key, std::uint64_t at) { return key.position < at; });
    const std::size_t count = static_cast<std::size_t>(cut - m_keyFrames.begin());
    const bool atKeyFrame = cut != m_keyFrames.end() && cut->position == tableOffset;
    if (!m_sound || count == 0 || count > kMaxCount || (tableOffset != m_recordsEnd && !atKeyFrame)) return {};
    std::vector<std::uint8_t> out(count * kEntrySize + kTrailerSize, 0);
    std::uint8_t* p = out.data();
    for (std::size_t i = 0; i < count; ++i, p += kEntrySize) {
        StoreU64(p, static_cast<std::uint64_t>(m_keyFrames[i].timeMs));
        StoreU64(p + 8, m_keyFrames[i].position);
    }
    StoreU64(p, tableOffset);
    StoreU32(p + 8, static_cast<std::uint32_t>(count));
    StoreU64(p + 16, static_cast<std::uint64_t>(m_startTimeMs));
    StoreU64(p + 24, static_cast<std::uint64_t>(atKeyFrame ? m_endTimesBefore[count] : m_endTimeMs));
    const std::span<const std::uint8_t> trailer(p, kTrailerSize);
    StoreU32(p + kChecksumAt, Checksum({out.data(), count * kEntrySize}, trailer));
    std::memcpy(p + kMagicAt, kMagic, sizeof kMagic);
    return out;
}

std::uint64_t CKvxIndexFooter::EncodedSize() const
{
    return m_sound && !m_keyFrames.empty() ? m_keyFrames.size() * kEntrySize + kTrailerSize : 0;
}

bool CKvxIndexFooter::Describes(const Contents& footer) const
{
    const Trailer& trailer = footer.trailer;
    return m_sound && !m_keyFrames.empty() && m_keyFrames.front().position == 0 &&
           trailer.tableOffset == m_recordsEnd && footer.keyFrames == m_keyFrames &&
           trailer.startTimeMs == m_startTimeMs && trailer.endTimeMs == m_endTimeMs;
}

std::optional<CKvxIndexFooter::Trailer> CKvxIndexFooter::DecodeTrailer(std::span<const std::uint8_t> last,
                                                                      std::uint64_t fileSize)
{
    if (last.size() != kTrailerSize || std::memcmp(last.data() + kMagicAt, kMagic, sizeof kMagic) != 0)
        return std::nullopt;
    Trailer trailer;
    trailer.tableOffset = LoadU64(last.data());
    trailer.count = LoadU32(last.data() + 8);
    trailer.startTimeMs = static_cast<std::int64_t>(LoadU64(last.data() + 16));
    trailer.endTimeMs = static_cast<std::int64_t>(LoadU64(last.data() + 24));
    trailer.checksum = LoadU32(last.data() + kChecksumAt);
    const bool fits = trailer.count > 0 && trailer.count <= kMaxCount && trailer.tableOffset < fileSize &&
                      fileSize - trailer.tableOffset == std::uint64_t(trailer.count) * kEntrySize + kTrailerSize;
    const bool inTimes = kvx::TimeInRange(trailer.startTimeMs) && kvx::TimeInRange(trailer.endTimeMs) &&
                         trailer.startTimeMs <= trailer.endTimeMs;
    const bool reservedClear = std::all_of(std::begin(kReservedAt), std::end(kReservedAt),
                                           [&](std::size_t at) { return LoadU32(last.data() + at) == 0; });
    if (!fits || !inTimes || !reservedClear) return std::nullopt;
    return trailer;
}

std::optional<std::vector<CKvxIndexFooter::KeyFrame>> CKvxIndexFooter::DecodeTable(
    const Trailer& trailer, std::span<const std::uint8_t> table, std::span<const std::uint8_t> last)
{
    if (table.size() != std::size_t(trailer.count) * kEntrySize || Checksum(table, last) != trailer.checksum)
        return std::nullopt;
    std::vector<KeyFrame> keyFrames(trailer.count);
    for (std::size_t i = 0; i < keyFrames.size(); ++i) {
        const std::uint8_t* p = table.data() + i * kEntrySize;
        keyFrames[i] = {static_cast<std::int64_t>(LoadU64(p)), LoadU64(p + 8)};
        const bool ascending = i == 0 || keyFrames[i].position > keyFrames[i - 1].position;
        const bool inRecords = keyFrames[i].position + kvx::kHeaderSize <= trailer.tableOffset;
        // Times may go back: a key frame may lie before the first record's time.
        const bool inTimes = kvx::TimeInRange(keyFrames[i].timeMs) && keyFrames[i].timeMs <= trailer.endTimeMs;
        if (!ascending || !inRecords || !inTimes) return std::nullopt;
    }
    return keyFrames;
}

std::optional<CKvxIndexFooter::Contents> CKvxIndexFooter::ReadFrom(int fd, std::uint64_t size)
{
    if (size < kTrailerSize) return std::nullopt;
    std::vector<std::uint8_t> last(kTrailerSize);
    if (!ReadFullyAt(fd, last.data(), last.size(), size - kTrailerSize)) return std::nullopt;
    const auto trailer = DecodeTrailer(last, size);
    if (!trailer) return std::nullopt;
    std::vector<std::uint8_t> table(std::size_t(trailer->count) * kEntrySize);
    if (!ReadFullyAt(fd, table.data(), table.size(), trailer->tableOffset)) return std::nullopt;
    auto keyFrames = DecodeTable(*trailer, table, last);
    if (!keyFrames) return std::nullopt;
    return Contents{*trailer, std::move(*keyFrames)};
}

std::optional<CKvxIndexFooter::Contents> CKvxIndexFooter::FromBytes(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kTrailerSize) return std::nullopt;
    const auto last = bytes.last(kTrailerSize);
    const std::uint64_t tableOffset = LoadU64(last.data());
    if (tableOffset > UINT64_MAX - bytes.size()) return std::nullopt;
    const auto trailer = DecodeTrailer(last, tableOffset + bytes.size());
    if (!trailer) return std::nullopt;
    auto keyFrames = DecodeTable(*trailer, bytes.first(bytes.size() - kTrailerSize), last);
    if (!keyFrames) return std::nullopt;
    return Contents{*trailer, std::move(*keyFrames)};
}

bool CKvxIndexFooter::MaySpanRecordsEnd(const Contents& footer)
{
    std::uint64_t before = 0;
    for (const KeyFrame& key : footer.keyFrames) {
        if (kvx::PastRecordsEnd(before, key.position)) return true;
        before = key.position;
    }
    return false;
}

}  // namespace PLAY_MODULE
