#pragma once

#include <cstdint>
#include <string>

namespace PLAY_MODULE {

// Open groups of pictures (H.265 CRA key frames, as x265 writes by default):
// the pictures coded right after such a key frame are shown before it, so
// they belong to the span that ends at it.
class CLeadingPictures {
public:
    // The byte position where the pictures shown before the key frame at
    // end stop: end itself when none follow it (a closed group), when the
    // file cannot be read by bytes, or for other files.
    static std::uint64_t EndAfter(const std::string& path, std::uint64_t end);
};

}  // namespace PLAY_MODULE
