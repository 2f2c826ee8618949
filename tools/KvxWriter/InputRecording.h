#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Platform/PlayModule/Format/KvxFormat.h"

namespace PLAY_MODULE {
class CKvxSigner;
}

namespace KVX_WRITER {

struct InputOptions {
    std::int64_t startUtcMs = -1;  // -1: the input's creation time, else now
    double seconds = 0;            // 0: the whole input
    // Audio is re-encoded to this codec; nothing: no audio records.
    std::optional<PLAY_MODULE::kvx::AudioCodec> audio = PLAY_MODULE::kvx::AudioCodec::G711ALaw;
    std::string watermark = "Lumivex test recorder";
    std::shared_ptr<const PLAY_MODULE::CKvxSigner> signer;
};

struct InputResult {
    std::int64_t startUtcMs = 0;
    std::int64_t endUtcMs = 0;
};

// Records what FFmpeg reads from input into a ".kvx" file: H.264/H.265 video
// is copied (as Annex B), other video is coded to H.264; audio is re-coded.
bool WriteRecordingFromInput(const InputOptions& options, const std::string& input,
                             const std::string& path, InputResult* result, std::string* error);

}  // namespace KVX_WRITER
