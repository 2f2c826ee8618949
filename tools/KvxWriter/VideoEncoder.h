#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "Platform/PlayModule/Format/KvxFormat.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace KVX_WRITER {

// Encodes planar 4:2:0 pictures to H.264 or H.265 Annex B access units,
// a key frame every gop frames, parameter sets repeated at each.
class CVideoEncoder {
public:
    struct Settings {
        PLAY_MODULE::kvx::VideoCodec codec = PLAY_MODULE::kvx::VideoCodec::H264;
        int width = 704;
        int height = 576;
        int fps = 25;
        int gop = 50;
        int bitrateKbps = 1024;
        int bFrames = 0;          // B-frames between references
        bool openGroups = false;  // B-frames after a key frame may show before it
    };
    // index: frame number; data: access unit; key: IDR/IRAP.
    using Sink = std::function<void(std::int64_t index, std::span<const std::uint8_t> data, bool key)>;

    CVideoEncoder() = default;
    ~CVideoEncoder();
    CVideoEncoder(const CVideoEncoder&) = delete;
    CVideoEncoder& operator=(const CVideoEncoder&) = delete;

    bool Open(const Settings& settings, std::string* error);
    // The frame to draw into before Encode (YUV420P, settings' size).
    AVFrame* Picture();
    bool Encode(std::int64_t index, const Sink& sink);
    bool Finish(const Sink& sink);

private:
    bool Drain(const Sink& sink);

    AVCodecContext* m_ctx = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
};

}  // namespace KVX_WRITER
