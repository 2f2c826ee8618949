#pragma once

#include <cstdint>

namespace PLAY_MODULE {

// Receives the AVI converter's requests for further file names, and its
// report of a write that failed.
class IAVIConvertListener {
public:
    virtual ~IAVIConvertListener() = default;
    // The converter starts another file (format change or size limit).
    // part: number of the file about to be written (2 for the second).
    // goOn: set to 1 to continue, 0 to end the conversion here.
    // name: a buffer of kAviNameBufferSize bytes for the new path.
    virtual void OnAVINextFile(unsigned int part, int* goOn, char* name) = 0;
    // A write failed (a full disk) and the conversion ended: the whole part
    // of the file stands unfinished at keptPath (empty: nothing was kept),
    // holding keptMs of video. Called from the converter's thread.
    virtual void OnAVIConvertFailed(const char* /*keptPath*/, std::int64_t /*keptMs*/) {}
};

inline constexpr int kAviNameBufferSize = 512;

}  // namespace PLAY_MODULE
