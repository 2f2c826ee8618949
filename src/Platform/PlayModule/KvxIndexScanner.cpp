#include "Platform/PlayModule/KvxIndexScanner.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PLAY_MODULE {

namespace {
constexpr std::size_t kHeaderRead = 4096;
constexpr std::size_t kSearchRead = 64u << 10;
}

bool CKvxIndexScanner::Scan(const std::string& path, CKeyFrameIndex& out,
                            const std::atomic<bool>* cancel)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (ok) {
        CKvxIndexScanner scanner(fd, static_cast<std::uint64_t>(st.st_size));
        ok = scanner.Run(out, cancel);
    }
    ::close(fd);
    return ok;
}

// Makes [pos, pos + size) readable from m_window, as far as the file goes.
bool CKvxIndexScanner::Window(std::uint64_t pos, std::size_t size)
{
    if (pos >= m_windowStart && pos + size <= m_windowStart + m_windowSize) return true;
    const std::size_t want = std::max(size, kHeaderRead);
    if (m_window.size() < want) m_window.resize(want);
    ssize_t n;
    do {
        n = ::pread(m_fd, m_window.data(), want, static_cast<off_t>(pos));
    } while (n < 0 && errno == EINTR);
    m_windowStart = pos;
    m_windowSize = n > 0 ? static_cast<std::size_t>(n) : 0;
    return m_windowSize >= size;
}

bool CKvxIndexScanner::HeaderAt(std::uint64_t pos, KvxRecordHeader& header)
{
    if (pos + kvx::kHeaderSize > m_size || !Window(pos, kvx::kHeaderSize)) return false;
    return header.Decode(m_window.data() + (pos - m_windowStart));
}

std::optional<std::uint64_t> CKvxIndexScanner::FindHeaderFrom(std::uint64_t from, std::uint64_t limit)
{
    limit = std::min(limit, m_size);
    std::vector<std::uint8_t> block(kSearchRead);
    while (from + kvx::kHeaderSize <= limit) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kSearchRead, limit - from));
        ssize_t n;
        do {
            n = ::pread(m_fd, block.data(), want, static_cast<off_t>(from));
        } while (n < 0 && errno == EINTR);
        if (n < 4) return std::nullopt;
        const std::size_t avail = static_cast<std::size_t>(n);
        for (std::size_t i = 0; i + 4 <= avail; ++i) {
            const void* hit = std::memchr(block.data() + i, kvx::kMarker[0], avail - i);
            if (!hit) break;
            i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - block.data());
            KvxRecordHeader header;
            if (i + 4 <= avail && KvxRecordHeader::StartsWithMarker(block.data() + i) &&
                HeaderAt(from + i, header))
                return from + i;
        }
        from += avail - 3;
    }
    return std::nullopt;
}

bool CKvxIndexScanner::Run(CKeyFrameIndex& out, const std::atomic<bool>* cancel)
{
    out = CKeyFrameIndex{};
    out.container = CKeyFrameIndex::Container::Kvx;
    out.absoluteTimes = true;
    out.fileSize = m_size;
    bool any = false;
    std::uint64_t pos = 0;
    std::uint64_t searchFrom = 0;  // just past the last sound header
    KvxRecordHeader header;
    while (pos < m_size) {
        if (cancel && cancel->load(std::memory_order_relaxed)) return false;
        const bool sound = HeaderAt(pos, header);
        if (!sound || header.payloadSize > m_size - pos - kvx::kHeaderSize) {
            // Damage at pos, or a record that runs past the end: go on at
            // the next sound header (also one inside the previous record,
            // which then was cut off).
            const auto found = FindHeaderFrom(sound ? pos + 1 : searchFrom, m_size);
            if (!found) break;
            pos = *found;
            searchFrom = pos + kvx::kHeaderSize;
            continue;
        }
        if (header.IsKeyFrame()) out.entries.push_back({header.timeMs, pos});
        if (!any) out.startTimeMs = header.timeMs;
        out.endTimeMs = std::max(out.endTimeMs, header.timeMs);
        any = true;
        searchFrom = pos + kvx::kHeaderSize;
        pos += kvx::kHeaderSize + header.payloadSize;
    }
    return any;
}

}  // namespace PLAY_MODULE
