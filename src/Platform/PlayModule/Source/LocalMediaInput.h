#pragma once

#include <string>

struct AVFormatContext;

namespace PLAY_MODULE {

// Opens a local recording with libavformat and reads its stream facts.
// Only the file protocol is allowed, so names such as "concat:a|b" stay file
// names; a program stream is taken as one by its pack header, which
// libavformat's own probe may mistake for audio. Containers and decoders
// other than the recorders' are refused. Null on failure. Without
// readStreamFacts, what the container's header tells alone (no packet is
// read ahead and decoded for the facts).
AVFormatContext* OpenLocalMediaInput(const std::string& path, bool readStreamFacts = true);

}  // namespace PLAY_MODULE
