#pragma once

#include <cstddef>
#include <cstdint>

namespace PLAY_MODULE {

// CRC-32 (IEEE, reflected, as zip uses) of a byte range.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size);

}  // namespace PLAY_MODULE
