#include "Platform/PlayModule/Source/TsKeyFrameScanner.h"

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

extern "C" {
#include <libavutil/mathematics.h>
}

#include "Platform/PlayModule/Format/ReadAt.h"
#include "Platform/PlayModule/Source/AnnexB.h"

namespace PLAY_MODULE {

namespace {
constexpr std::size_t kPacketSize = 188;
constexpr std::size_t kReadSize = kPacketSize * 256;
constexpr std::size_t kMaxHead = 64u << 10;
constexpr std::int64_t kWrap = std::int64_t(1) << 33;

std::int64_t PesStamp(const std::uint8_t* p)
{
    return (std::int64_t(p[0] & 0x0E) << 29) | (std::int64_t(p[1]) << 22) | (std::int64_t(p[2] & 0xFE) << 14) |
           (std::int64_t(p[3]) << 7) | (std::int64_t(p[4]) >> 1);
}

}  // namespace

bool CTsKeyFrameScanner::Scan(const std::string& path, const Video& video, CKeyFrameIndex& out,
                              const std::atomic<bool>* cancel)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    CTsKeyFrameScanner scanner(video, out);
    std::vector<std::uint8_t> block(kReadSize);
    std::uint64_t position = 0;
    bool sound = true;
    for (;;) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            sound = false;
            break;
        }
        const ssize_t got = ReadAt(fd, block.data(), block.size(), position);
        sound = got >= 0;
        // A packet cut off at the end is no packet.
        const std::size_t whole = got > 0 ? std::size_t(got) / kPacketSize * kPacketSize : 0;
        for (std::size_t at = 0; sound && at < whole; at += kPacketSize)
            sound = scanner.Packet(block.data() + at, position + at);
        position += whole;
        if (!sound || whole < block.size()) break;
    }
    ::close(fd);
    if (!sound) return false;
    scanner.EndPes();
    out.endTimeMs = video.baseMs + scanner.EndMs();
    return !out.entries.empty();
}

bool CTsKeyFrameScanner::Packet(const std::uint8_t* packet, std::uint64_t position)
{
    if (packet[0] != 0x47) return false;
    const int pid = ((packet[1] & 0x1F) << 8) | packet[2];
    if (pid != m_video.pid) return true;
    const int control = (packet[3] >> 4) & 3;
    const std::size_t start = (control & 2) ? 5 + std::size_t(packet[4]) : 4;
    if (!(control & 1) || start >= kPacketSize) return start <= kPacketSize;
    if (packet[1] & 0x40) {
        EndPes();
        return StartPes(packet + start, kPacketSize - start, position);
    }
    if (m_open && !m_decided) Collect(packet + start, kPacketSize - start);
    return true;
}

bool CTsKeyFrameScanner::StartPes(const std::uint8_t* payload, std::size_t size, std::uint64_t position)
{
    if (size < 9 || payload[0] != 0 || payload[1] != 0 || payload[2] != 1) return false;
    const std::size_t headerEnd = 9 + std::size_t(payload[8]);
    const bool hasPts = (payload[7] & 0x80) != 0;
    if (headerEnd > size || (hasPts && headerEnd < 14)) return false;
    m_open = true;
    m_decided = false;
    m_key = false;
    m_position = position;
    m_timed = hasPts;
    if (hasPts) {
        // Stamps wrap at 2^33: keep them rising from the one before.
        m_ticks = PesStamp(payload + 9);
        while (m_ticks < m_lastTicks - kWrap / 2) m_ticks += kWrap;
        m_lastTicks = m_ticks;
    }
    m_head.clear();
    Collect(payload + headerEnd, size - headerEnd);
    return true;
}

void CTsKeyFrameScanner::Collect(const std::uint8_t* bytes, std::size_t size)
{
    m_head.insert(m_head.end(), bytes, bytes + std::min(size, kMaxHead - m_head.size()));
    const auto key = FirstPictureIsKeyIfAny(m_head, m_video.codec);
    m_decided = key.has_value() || m_head.size() >= kMaxHead;
    m_key = key.value_or(false);
}

void CTsKeyFrameScanner::EndPes()
{
    if (!m_open) return;
    m_open = false;
    if (!m_timed) return;
    if (m_firstTicks == INT64_MIN) m_firstTicks = m_ticks;
    const std::int64_t ticks = m_ticks - m_firstTicks;
    auto& entries = m_out.entries;
    if (m_key && (entries.empty() || m_position > entries.back().position))
        entries.push_back({m_video.baseMs + Ms(ticks), m_position});
    if (m_endTicks != INT64_MIN && ticks > m_previousTicks)
        m_frameTicks = std::min(m_frameTicks, ticks - m_previousTicks);
    m_previousTicks = ticks;
    m_endTicks = std::max(m_endTicks, ticks);
}

std::int64_t CTsKeyFrameScanner::EndMs() const
{
    if (m_endTicks == INT64_MIN) return 0;
    return Ms(m_endTicks) + (m_frameTicks == INT64_MAX ? 0 : Ms(m_frameTicks));
}

std::int64_t CTsKeyFrameScanner::Ms(std::int64_t ticks) const
{
    return av_rescale_q(ticks, {m_video.timeBaseNum, m_video.timeBaseDen}, {1, 1000});
}

}  // namespace PLAY_MODULE
