#include "Export/KvxCutPoint.h"

#include <algorithm>
#include <cstring>

#include "Platform/PlayModule/Format/KvxRecordHeader.h"

using PLAY_MODULE::KvxRecordHeader;
using PLAY_MODULE::kvx::kHeaderSize;

void CKvxCutPoint::Reset()
{
    *this = CKvxCutPoint();
}

void CKvxCutPoint::Feed(const std::uint8_t* data, std::size_t size)
{
    const std::uint64_t end = m_copied + size;
    while (!m_broken) {
        const std::uint64_t headerByte = m_nextRecord + m_partialSize;  // next head byte wanted
        if (headerByte >= end)
            break;
        const std::size_t offset = std::size_t(headerByte - m_copied);
        const std::size_t take = std::min(kHeaderSize - m_partialSize, size - offset);
        if (m_partialSize == 0 && take == kHeaderSize) {
            TakeHeader(data + offset);
            continue;
        }
        // A head split between two blocks.
        std::memcpy(m_partial.data() + m_partialSize, data + offset, take);
        m_partialSize += take;
        if (m_partialSize < kHeaderSize)
            break;
        m_partialSize = 0;
        TakeHeader(m_partial.data());
    }
    m_copied = end;
}

void CKvxCutPoint::TakeHeader(const std::uint8_t* header)
{
    KvxRecordHeader head;
    if (!head.Decode(header)) {
        m_broken = true;
        m_footer.Spoil();
        return;
    }
    m_footer.Note(head, m_nextRecord);
    if (head.IsKeyFrame() && m_nextRecord > 0)
        m_boundary = m_nextRecord;
    ++m_recordsSeen;
    m_nextRecord += kHeaderSize + head.payloadSize;
}

std::vector<std::uint8_t> CKvxCutPoint::Footer(std::uint64_t end) const
{
    return m_footer.Encode(end);
}
