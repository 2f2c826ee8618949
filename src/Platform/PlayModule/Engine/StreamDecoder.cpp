#include "Platform/PlayModule/Engine/StreamDecoder.h"

#include "Platform/PlayModule/Source/RecorderMedia.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace PLAY_MODULE {

void AVFrameDeleter::operator()(AVFrame* frame) const
{
    av_frame_free(&frame);
}

AVFramePtr MakeFrame()
{
    return AVFramePtr(av_frame_alloc());
}

CStreamDecoder::~CStreamDecoder()
{
    avcodec_free_context(&m_context);
}

bool CStreamDecoder::Open(const AVCodecParameters* parameters, int threads)
{
    avcodec_free_context(&m_context);
    if (!parameters)
        return false;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec)
        return false;
    m_context = avcodec_alloc_context3(codec);
    if (!m_context || avcodec_parameters_to_context(m_context, parameters) < 0) {
        avcodec_free_context(&m_context);
        return false;
    }
    m_context->pkt_timebase = {1, 1000};
    m_context->thread_count = threads;
    m_context->thread_type = threads == 1 ? FF_THREAD_SLICE : FF_THREAD_FRAME | FF_THREAD_SLICE;
    AVDictionary* options = nullptr;
    LimitToRecorderDecoders(&options);
    const int opened = avcodec_open2(m_context, codec, &options);
    av_dict_free(&options);
    if (opened < 0) {
        avcodec_free_context(&m_context);
        return false;
    }
    m_threads = threads;
    m_ended = false;
    m_decodingTimes.clear();
    return true;
}

bool CStreamDecoder::Send(AVPacket* packet, std::int64_t timeMs, bool hasPts)
{
    if (!m_context || m_ended)
        return false;
    packet->pts = hasPts ? timeMs : AV_NOPTS_VALUE;
    packet->dts = hasPts ? AV_NOPTS_VALUE : timeMs;
    if (!hasPts) {
        m_decodingTimes.insert(timeMs);
        if (m_decodingTimes.size() > 64)
            m_decodingTimes.erase(m_decodingTimes.begin());
    }
    packet->time_base = {1, 1000};
    return avcodec_send_packet(m_context, packet) >= 0;
}

int CStreamDecoder::ReorderDepth() const
{
    return m_context ? m_context->has_b_frames : 0;
}

void CStreamDecoder::SendEnd()
{
    if (m_context && !m_ended) {
        avcodec_send_packet(m_context, nullptr);
        m_ended = true;
    }
}

bool CStreamDecoder::Receive(AVFrame* frame)
{
    if (!m_context || avcodec_receive_frame(m_context, frame) < 0)
        return false;
    if (frame->pts == AV_NOPTS_VALUE && !m_decodingTimes.empty()) {
        frame->best_effort_timestamp = *m_decodingTimes.begin();
        m_decodingTimes.erase(m_decodingTimes.begin());
    }
    return true;
}

void CStreamDecoder::Flush()
{
    if (m_context)
        avcodec_flush_buffers(m_context);
    m_ended = false;
    m_decodingTimes.clear();
}

}  // namespace PLAY_MODULE
