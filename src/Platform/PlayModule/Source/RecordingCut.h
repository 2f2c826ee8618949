#pragma once

#include <string>

namespace PLAY_MODULE {

// Whether the bytes of a recording from one key frame to another make a
// recording of their own: ".kvx" records and MPEG transport and program
// streams do; a range of an ".avi" or ".mp4" lacks the header that
// describes the whole file.
bool ByteCutsPlay(const std::string& path);

}  // namespace PLAY_MODULE
