#pragma once

#include <cstdint>
#include <string>

namespace KVX_WRITER {

// The recorders' file name: <name>_ch<channel>_[main_|extra<N>_]<start>_<end><extension>,
// start and end as local YYYYMMDDhhmmss. stream: 0 main, N extra stream N,
// -1 no stream part. The end is rounded up to a whole second after the start.
std::string RecordingFileName(const std::string& recorderName, int channel, int stream,
                              std::int64_t startUtcMs, std::int64_t endUtcMs,
                              const std::string& extension = ".kvx");

// True when a recorder name is usable in the rule (no underscore, not empty,
// letters, digits and the rule's punctuation only).
bool IsValidRecorderName(const std::string& name);

}  // namespace KVX_WRITER
