#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace PLAY_MODULE {

// Recognises ".kvx" content: the bytes begin with a sound record header.
bool LooksLikeKvx(std::span<const std::uint8_t> head);
// The same for the first bytes of a file.
bool FileLooksLikeKvx(const std::string& path);

}  // namespace PLAY_MODULE
