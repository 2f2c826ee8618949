#pragma once

#include <string>

namespace PLAY_MODULE {

// Whether the bytes of a recording from one key frame to another make a
// recording of their own: ".kvx" records and MPEG transport and program
// streams do (Plays); a range of an ".avi", ".mp4" or other container lacks
// the header that describes the whole file (NeedsWholeFile). Unknown: the
// file cannot be read or is no recording.
enum class ByteCut { Unknown, Plays, NeedsWholeFile };
ByteCut ByteCutOf(const std::string& path);

}  // namespace PLAY_MODULE
