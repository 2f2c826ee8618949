#include "Platform/PlayModule/Support/ProgramStreamMuxer.h"

#include <vector>

extern "C" {
#include <libavutil/crc.h>
}

namespace PLAY_MODULE_TEST {

namespace {
constexpr std::uint8_t kVideoStreamId = 0xE0;
constexpr std::size_t kMaxPesPayload = 60000;
}

CProgramStreamMuxer::~CProgramStreamMuxer() { Close(); }

bool CProgramStreamMuxer::Open(const std::string& path, PLAY_MODULE::kvx::VideoCodec codec)
{
    m_codec = codec;
    m_file = std::fopen(path.c_str(), "wb");
    m_failed = m_file == nullptr;
    return !m_failed;
}

void CProgramStreamMuxer::Put(std::initializer_list<std::uint8_t> bytes)
{
    if (m_file && std::fwrite(bytes.begin(), 1, bytes.size(), m_file) != bytes.size()) m_failed = true;
}

void CProgramStreamMuxer::PutPackHeader(std::int64_t scr)
{
    const auto b = [](std::int64_t v) { return static_cast<std::uint8_t>(v & 0xFF); };
    const std::uint32_t rate = 0x3FFF;
    Put({0, 0, 1, 0xBA, b(0x44 | ((scr >> 27) & 0x38) | ((scr >> 28) & 0x03)), b(scr >> 20),
         b(0x04 | ((scr >> 12) & 0xF8) | ((scr >> 13) & 0x03)), b(scr >> 5), b(0x04 | ((scr & 0x1F) << 3)), 0x01,
         b(rate >> 14), b(rate >> 6), b(((rate & 0x3F) << 2) | 0x03), 0xF8});
}

void CProgramStreamMuxer::PutSystemHeader()
{
    const std::uint32_t bound = 0x3FFF;
    const std::uint16_t size = 400;  // buffer bound in KiB
    Put({0, 0, 1, 0xBB, 0, 9, static_cast<std::uint8_t>(0x80 | ((bound >> 15) & 0x7F)),
         static_cast<std::uint8_t>(bound >> 7), static_cast<std::uint8_t>(((bound & 0x7F) << 1) | 1), 0x00,
         0xE1, 0x7F, kVideoStreamId, static_cast<std::uint8_t>(0xE0 | (size >> 8)),
         static_cast<std::uint8_t>(size & 0xFF)});
}

void CProgramStreamMuxer::PutStreamMap()
{
    const std::uint8_t type = m_codec == PLAY_MODULE::kvx::VideoCodec::H264 ? 0x1B : 0x24;
    std::vector<std::uint8_t> map{0, 0, 1, 0xBC, 0, 14, 0x80, 0x01, 0, 0, 0, 4, type, kVideoStreamId, 0, 0};
    const std::uint32_t crc = av_crc(av_crc_get_table(AV_CRC_32_IEEE), 0xFFFFFFFFu, map.data(), map.size());
    map.insert(map.end(), {static_cast<std::uint8_t>(crc >> 24), static_cast<std::uint8_t>(crc >> 16),
                           static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc)});
    if (m_file && std::fwrite(map.data(), 1, map.size(), m_file) != map.size()) m_failed = true;
}

void CProgramStreamMuxer::PutStamp(std::uint8_t prefix, std::int64_t value)
{
    const auto b = [](std::int64_t v) { return static_cast<std::uint8_t>(v & 0xFF); };
    Put({b(prefix | ((value >> 29) & 0x0E) | 1), b(value >> 22), b(((value >> 14) & 0xFE) | 1),
         b(value >> 7), b(((value << 1) & 0xFE) | 1)});
}

void CProgramStreamMuxer::PutPes(std::span<const std::uint8_t> payload, std::int64_t pts,
                                 std::int64_t dts, bool withStamps)
{
    const auto b = [](std::int64_t v) { return static_cast<std::uint8_t>(v & 0xFF); };
    const bool withDts = withStamps && dts != pts;
    const std::size_t headerData = withDts ? 10 : withStamps ? 5 : 0;
    const std::size_t length = 3 + headerData + payload.size();
    const std::uint8_t flags = withDts ? 0xC0 : withStamps ? 0x80 : 0;
    Put({0, 0, 1, kVideoStreamId, b(length >> 8), b(length), 0x80, flags,
         static_cast<std::uint8_t>(headerData)});
    if (withDts) {
        PutStamp(0x30, pts);
        PutStamp(0x10, dts);
    } else if (withStamps) {
        PutStamp(0x20, pts);
    }
    if (m_file && std::fwrite(payload.data(), 1, payload.size(), m_file) != payload.size()) m_failed = true;
}

bool CProgramStreamMuxer::WriteFrame(std::span<const std::uint8_t> accessUnit, std::int64_t pts,
                                     std::int64_t dts, bool key)
{
    PutPackHeader(dts);
    if (key) {
        PutSystemHeader();
        PutStreamMap();
    }
    for (std::size_t done = 0; done < accessUnit.size(); done += kMaxPesPayload)
        PutPes(accessUnit.subspan(done, std::min(kMaxPesPayload, accessUnit.size() - done)), pts, dts,
               done == 0 && pts >= 0);
    return !m_failed;
}

bool CProgramStreamMuxer::Close()
{
    if (!m_file) return !m_failed;
    Put({0, 0, 1, 0xB9});
    if (std::fclose(m_file) != 0) m_failed = true;
    m_file = nullptr;
    return !m_failed;
}

}  // namespace PLAY_MODULE_TEST
