#include "Platform/PlayModule/Stream/StreamTail.h"

#include <algorithm>

namespace PLAY_MODULE {

void CStreamTail::Append(std::span<const std::uint8_t> bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    // Trimmed in steps of at least room bytes, so each byte moves few times.
    if (m_bytes.size() > 2 * m_room)
        DropBefore(m_base + (m_bytes.size() - m_room));
}

void CStreamTail::DropBefore(std::uint64_t offset)
{
    if (offset <= m_base)
        return;
    const std::size_t count = std::size_t(std::min<std::uint64_t>(offset - m_base, m_bytes.size()));
    m_bytes.erase(m_bytes.begin(), m_bytes.begin() + std::ptrdiff_t(count));
    m_base += count;
}

void CStreamTail::KeepLast(std::uint64_t bytes)
{
    if (m_bytes.size() > bytes)
        DropBefore(m_base + (m_bytes.size() - bytes));
}

std::optional<std::span<const std::uint8_t>> CStreamTail::From(std::uint64_t offset) const
{
    const std::uint64_t end = m_base + m_bytes.size();
    if (offset < m_base || offset > end)
        return std::nullopt;
    return std::span<const std::uint8_t>(m_bytes).subspan(std::size_t(offset - m_base));
}

void CStreamTail::Reset()
{
    m_bytes.clear();
    m_base = 0;
}

}  // namespace PLAY_MODULE
