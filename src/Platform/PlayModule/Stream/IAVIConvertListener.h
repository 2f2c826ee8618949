#pragma once

namespace PLAY_MODULE {

// Receives the AVI converter's requests for further file names.
class IAVIConvertListener {
public:
    virtual ~IAVIConvertListener() = default;
    // The converter starts another file (format change or size limit).
    // part: number of the file about to be written (2 for the second).
    // goOn: set to 1 to continue, 0 to end the conversion here.
    // name: a buffer of kAviNameBufferSize bytes for the new path.
    virtual void OnAVINextFile(unsigned int part, int* goOn, char* name) = 0;
};

inline constexpr int kAviNameBufferSize = 512;

}  // namespace PLAY_MODULE
