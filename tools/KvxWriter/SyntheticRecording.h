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

// What the synthetic source records.
struct SyntheticOptions {
    std::int64_t startUtcMs = 1451703845000;  // 2016-01-02 03:04:05 UTC
    double seconds = 10;
    int width = 704;
    int height = 576;
    int fps = 25;
    double gopSeconds = 2;
    int bitrateKbps = 1024;
    PLAY_MODULE::kvx::VideoCodec codec = PLAY_MODULE::kvx::VideoCodec::H264;
    std::optional<PLAY_MODULE::kvx::AudioCodec> audio = PLAY_MODULE::kvx::AudioCodec::G711ALaw;
    bool overlays = true;
    std::string watermark = "Lumivex test recorder";  // empty: none
    // Signs with this key; null writes an unsigned recording.
    std::shared_ptr<const PLAY_MODULE::CKvxSigner> signer;
};

// Writes a recording of the synthetic source to path (a ".kvx" file).
bool WriteSyntheticRecording(const SyntheticOptions& options, const std::string& path,
                             std::string* error = nullptr);

}  // namespace KVX_WRITER
