#include "Platform/PlayModule/Format/KvxRecordParser.h"

#include <algorithm>
#include <cstring>

namespace PLAY_MODULE {

namespace {
constexpr std::size_t kCompactThreshold = 1u << 20;
}

void CKvxRecordParser::Feed(std::span<const std::uint8_t> bytes)
{
    Compact();
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
}

void CKvxRecordParser::Compact()
{
    if (m_pos < kCompactThreshold && m_pos * 2 < m_buffer.size()) return;
    if (m_pos == 0) return;
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(m_pos));
    m_base += m_pos;
    m_pos = 0;
}

void CKvxRecordParser::Skip(std::size_t count)
{
    m_pos += count;
    m_skipped += count;
}

bool CKvxRecordParser::SkipToMarker()
{
    const std::uint8_t* begin = m_buffer.data() + m_pos;
    const std::size_t avail = PendingBytes();
    const std::uint8_t first = kvx::kMarker[0];
    for (std::size_t i = 0; i + 4 <= avail;) {
        const void* hit = std::memchr(begin + i, first, avail - i);
        if (!hit) break;
        i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - begin);
        if (i + 4 > avail) break;
        if (KvxRecordHeader::StartsWithMarker(begin + i)) {
            Skip(i);
            return true;
        }
        ++i;
    }
    // Keep a tail that may be the start of a marker.
    if (avail > 3) Skip(avail - 3);
    return false;
}

bool CKvxRecordParser::IsSoundHeaderAt(std::size_t at) const
{
    if (at + kvx::kHeaderSize > m_buffer.size()) return false;
    KvxRecordHeader header;
    return header.Decode(m_buffer.data() + at);
}

bool CKvxRecordParser::FindSoundHeader(std::size_t from, std::size_t to, std::size_t& found) const
{
    const std::size_t limit = std::min(to, m_buffer.size());
    for (std::size_t at = from; at + 4 <= limit; ++at) {
        const void* hit = std::memchr(m_buffer.data() + at, kvx::kMarker[0], limit - at);
        if (!hit) return false;
        at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - m_buffer.data());
        if (IsSoundHeaderAt(at)) {
            found = at;
            return true;
        }
    }
    return false;
}

CKvxRecordParser::Status CKvxRecordParser::Next(KvxRecord& out)
{
    for (;;) {
        if (!SkipToMarker() || GapExceeded()) return Status::NeedMore;
        if (PendingBytes() < kvx::kHeaderSize) return Status::NeedMore;
        KvxRecordHeader header;
        if (!header.Decode(m_buffer.data() + m_pos)) {
            Skip(1);
            continue;
        }
        const std::size_t total = kvx::kHeaderSize + header.payloadSize;
        if (PendingBytes() < total) return Status::NeedMore;
        // A record not followed by the one written after it may have been
        // cut off by the record that sits inside its claimed length.
        const std::size_t end = m_pos + total;
        if (m_moreComing && m_buffer.size() < end + kvx::kHeaderSize) return Status::NeedMore;
        const std::size_t after = std::min(m_buffer.size() - end, kvx::kHeaderSize);
        std::size_t inner = 0;
        if (!header.EndsWholeBefore(m_buffer.data() + end, after) &&
            FindSoundHeader(m_pos + kvx::kHeaderSize, end, inner)) {
            Skip(inner - m_pos);
            continue;
        }
        out.header = header;
        out.offset = Offset();
        const auto* payload = m_buffer.data() + m_pos + kvx::kHeaderSize;
        out.payload.assign(payload, payload + header.payloadSize);
        m_pos = end;
        m_lastEnd = Offset();
        return Status::Record;
    }
}

bool CKvxRecordParser::SkipCutOffRecord()
{
    if (PendingBytes() < kvx::kHeaderSize) return false;
    std::size_t inner = 0;
    if (!FindSoundHeader(m_pos + 1, m_buffer.size(), inner)) return false;
    Skip(inner - m_pos);
    return true;
}

void CKvxRecordParser::DiscardPending()
{
    Skip(PendingBytes());
    Compact();
}

void CKvxRecordParser::Reset(std::uint64_t streamOffset)
{
    m_buffer.clear();
    m_pos = 0;
    m_base = streamOffset;
    m_skipped = 0;
    m_lastEnd = streamOffset;
}

std::optional<std::uint64_t> CKvxRecordParser::PendingRecordEnd() const
{
    KvxRecordHeader header;
    if (PendingBytes() < kvx::kHeaderSize || !header.Decode(m_buffer.data() + m_pos)) return std::nullopt;
    return Offset() + kvx::kHeaderSize + header.payloadSize;
}

}  // namespace PLAY_MODULE
