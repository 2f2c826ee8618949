#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/KvxOverlayPoint.h"

namespace PLAY_MODULE {

// Bounds-checked reading of overlay blocks: every read fails once the
// data ran out, and stays failed.
class COverlayByteCursor {
public:
    explicit COverlayByteCursor(std::span<const std::uint8_t> data) : m_data(data) {}

    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_pos == m_data.size(); }
    std::uint8_t U8() { return Take(1) ? m_data[m_pos - 1] : 0; }
    std::uint16_t U16() { return Take(2) ? LoadU16(&m_data[m_pos - 2]) : 0; }
    std::uint32_t U32() { return Take(4) ? LoadU32(&m_data[m_pos - 4]) : 0; }
    KvxOverlayPoint Point()
    {
        KvxOverlayPoint p;
        p.x = U16();
        p.y = U16();
        return p;
    }
    std::span<const std::uint8_t> Bytes(std::size_t n)
    {
        return Take(n) ? m_data.subspan(m_pos - n, n) : std::span<const std::uint8_t>{};
    }
    std::vector<KvxOverlayPoint> Points(std::size_t n)
    {
        std::vector<KvxOverlayPoint> points;
        if (n * 4 > m_data.size() - m_pos) {
            m_ok = false;
            return points;
        }
        for (std::size_t i = 0; i < n; ++i) points.push_back(Point());
        return points;
    }

    static void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v)
    {
        out.push_back(std::uint8_t(v));
        out.push_back(std::uint8_t(v >> 8));
    }
    static void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v)
    {
        PutU16(out, std::uint16_t(v));
        PutU16(out, std::uint16_t(v >> 16));
    }
    static void PutPoint(std::vector<std::uint8_t>& out, const KvxOverlayPoint& p)
    {
        PutU16(out, p.x);
        PutU16(out, p.y);
    }
    // Writes a count as its 16 bits can hold it; the rest of the items are
    // left out. Returns the number of items to write.
    static std::size_t PutCount(std::vector<std::uint8_t>& out, std::size_t count)
    {
        const std::size_t kept = std::min<std::size_t>(count, 0xFFFF);
        PutU16(out, std::uint16_t(kept));
        return kept;
    }
    static void PutPoints(std::vector<std::uint8_t>& out, const std::vector<KvxOverlayPoint>& points)
    {
        const std::size_t kept = PutCount(out, points.size());
        for (std::size_t i = 0; i < kept; ++i) PutPoint(out, points[i]);
    }

private:
    bool Take(std::size_t n)
    {
        if (!m_ok || n > m_data.size() - m_pos) return m_ok = false;
        m_pos += n;
        return true;
    }

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

}  // namespace PLAY_MODULE
