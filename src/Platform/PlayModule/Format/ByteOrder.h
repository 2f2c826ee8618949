#pragma once

#include <cstdint>
#include <cstring>

namespace PLAY_MODULE {

// Little-endian reads and writes of fixed-size fields; the pointer must
// cover the field (callers check the bounds first).
inline std::uint16_t LoadU16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
inline std::uint32_t LoadU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
inline std::uint64_t LoadU64(const std::uint8_t* p)
{
    return std::uint64_t(LoadU32(p)) | (std::uint64_t(LoadU32(p + 4)) << 32);
}
inline void StoreU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
inline void StoreU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}
inline void StoreU64(std::uint8_t* p, std::uint64_t v)
{
    StoreU32(p, std::uint32_t(v));
    StoreU32(p + 4, std::uint32_t(v >> 32));
}

}  // namespace PLAY_MODULE
