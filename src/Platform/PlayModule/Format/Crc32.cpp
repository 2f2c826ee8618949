#include "Platform/PlayModule/Format/Crc32.h"

extern "C" {
#include <libavutil/crc.h>
}

namespace PLAY_MODULE {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size)
{
    static const AVCRC* table = av_crc_get_table(AV_CRC_32_IEEE_LE);
    return av_crc(table, 0xFFFFFFFFu, data, size) ^ 0xFFFFFFFFu;
}

}  // namespace PLAY_MODULE
