#pragma once

#include <cstdint>
#include <string>

namespace PLAY_MODULE {

// The end of the last whole chunk of an AVI file cut short (a writer that
// was killed): its header chunks and the whole chunks of its movie list.
// A file that is no AVI is whole as it is.
class CAviWholeChunks {
public:
    // Bytes of the file that are whole; its size when it is no AVI.
    static std::uint64_t End(const std::string& path);
};

}  // namespace PLAY_MODULE
