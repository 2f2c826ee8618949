#include "KvxWriter/VideoEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

namespace KVX_WRITER {

CVideoEncoder::~CVideoEncoder()
{
    avcodec_free_context(&m_ctx);
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
}

bool CVideoEncoder::Open(const Settings& s, std::string* error)
{
    const bool h265 = s.codec == PLAY_MODULE::kvx::VideoCodec::H265;
    const AVCodec* codec = avcodec_find_encoder_by_name(h265 ? "libx265" : "libx264");
    if (!codec) {
        if (error) *error = h265 ? "no H.265 encoder" : "no H.264 encoder";
        return false;
    }
    m_ctx = avcodec_alloc_context3(codec);
    m_ctx->width = s.width;
    m_ctx->height = s.height;
    m_ctx->pix_fmt = AV_PIX_FMT_YUV420P;
    m_ctx->time_base = {1, s.fps};
    m_ctx->framerate = {s.fps, 1};
    m_ctx->gop_size = s.gop;
    m_ctx->keyint_min = s.gop;
    m_ctx->max_b_frames = s.bFrames;
    m_ctx->bit_rate = static_cast<std::int64_t>(s.bitrateKbps) * 1000;
    m_ctx->thread_count = 1;
    av_opt_set(m_ctx->priv_data, "preset", "ultrafast", 0);
    if (s.bFrames == 0)
        av_opt_set(m_ctx->priv_data, "tune", "zerolatency", 0);
    const std::string bFrames =
        std::string(s.openGroups ? "open-gop=1:" : "open-gop=0:") + "bframes=" + std::to_string(s.bFrames);
    if (h265) {
        av_opt_set(m_ctx->priv_data, "x265-params",
                   ("repeat-headers=1:log-level=error:scenecut=0:" + bFrames).c_str(), 0);
    } else {
        av_opt_set(m_ctx->priv_data, "x264-params", ("scenecut=0:log=-1:" + bFrames).c_str(), 0);
    }
    if (avcodec_open2(m_ctx, codec, nullptr) < 0) {
        if (error) *error = "cannot open the video encoder";
        return false;
    }
    m_frame = av_frame_alloc();
    m_frame->format = AV_PIX_FMT_YUV420P;
    m_frame->width = s.width;
    m_frame->height = s.height;
    m_packet = av_packet_alloc();
    return av_frame_get_buffer(m_frame, 0) >= 0;
}

AVFrame* CVideoEncoder::Picture()
{
    av_frame_make_writable(m_frame);
    return m_frame;
}

bool CVideoEncoder::Drain(const Sink& sink)
{
    for (;;) {
        const int r = avcodec_receive_packet(m_ctx, m_packet);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
        if (r < 0) return false;
        sink(m_packet->pts, {m_packet->data, static_cast<std::size_t>(m_packet->size)},
             (m_packet->flags & AV_PKT_FLAG_KEY) != 0);
        av_packet_unref(m_packet);
    }
}

bool CVideoEncoder::Encode(std::int64_t index, const Sink& sink)
{
    m_frame->pts = index;
    if (avcodec_send_frame(m_ctx, m_frame) < 0) return false;
    return Drain(sink);
}

bool CVideoEncoder::Finish(const Sink& sink)
{
    if (avcodec_send_frame(m_ctx, nullptr) < 0) return false;
    return Drain(sink);
}

}  // namespace KVX_WRITER
