#include "Platform/PlayModule/Stream/FirstPictureProbe.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace PLAY_MODULE {

CFirstPictureProbe::~CFirstPictureProbe()
{
    avcodec_free_context(&m_context);
}

bool CFirstPictureProbe::Open(const StreamPacket& first)
{
    const StreamFormat& format = *first.format;
    const AVCodec* codec = avcodec_find_decoder(format.codec);
    m_context = codec ? avcodec_alloc_context3(codec) : nullptr;
    AVCodecParameters* parameters = avcodec_parameters_alloc();
    bool opened = m_context && parameters && format.ToParameters(*parameters) &&
                  avcodec_parameters_to_context(m_context, parameters) >= 0;
    avcodec_parameters_free(&parameters);
    if (opened) {
        m_context->thread_count = 1;  // frame threads would hold pictures back too
        m_context->pkt_timebase = {1, 1000};
        opened = avcodec_open2(m_context, codec, nullptr) >= 0;
    }
    if (!opened)
        avcodec_free_context(&m_context);
    return opened;
}

void CFirstPictureProbe::Settle(std::int64_t packetsBefore, std::int64_t shownMs)
{
    m_known = true;
    m_packetsBefore = packetsBefore;
    m_shownMs = shownMs;
    avcodec_free_context(&m_context);
}

bool CFirstPictureProbe::TakePicture()
{
    AVFrame* frame = av_frame_alloc();
    const bool taken = frame && avcodec_receive_frame(m_context, frame) >= 0;
    if (taken)
        Settle(m_fed - 1, frame->pts != AV_NOPTS_VALUE ? frame->pts : m_firstMs);
    av_frame_free(&frame);
    return taken;
}

bool CFirstPictureProbe::Feed(const StreamPacket& packet)
{
    if (m_known || !packet.format || packet.data.empty())
        return m_known;
    if (m_fed == 0) {
        m_firstMs = packet.timeMs;
        const bool decodable = packet.format->codec == AV_CODEC_ID_H264 || packet.format->codec == AV_CODEC_ID_HEVC;
        if (!decodable || !Open(packet)) {
            Settle(0, packet.timeMs);  // shown at once
            return true;
        }
    }
    AVPacket* coded = av_packet_alloc();
    if (coded && av_new_packet(coded, int(packet.data.size())) >= 0) {
        std::memcpy(coded->data, packet.data.data(), packet.data.size());
        coded->pts = packet.timeMs;
        coded->time_base = {1, 1000};
        if (packet.key)
            coded->flags |= AV_PKT_FLAG_KEY;
        avcodec_send_packet(m_context, coded);
    }
    av_packet_free(&coded);
    ++m_fed;
    if (!TakePicture() && m_fed >= kMaxPackets)
        Settle(0, m_firstMs);
    return m_known;
}

void CFirstPictureProbe::Finish()
{
    if (m_known)
        return;
    if (m_context) {
        avcodec_send_packet(m_context, nullptr);
        // Brought out by the end: after the last packet.
        if (TakePicture())
            return;
    }
    Settle(0, m_firstMs);
}

}  // namespace PLAY_MODULE
