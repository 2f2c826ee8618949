#include "Platform/PlayModule/Output/SnapshotDecoder.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace PLAY_MODULE {

CSnapshotDecoder::CSnapshotDecoder() : m_frame(MakeFrame()) {}

void CSnapshotDecoder::Reset()
{
    m_decoder.Flush();
    m_waitForKey = true;
    ForgetTimes();
}

void CSnapshotDecoder::ForgetTimes()
{
    m_presentationTimes = false;
    m_lastTimeMs = INT64_MIN;
    m_pendingTimes.clear();
}

// Times that went back in decoding order are presentation times.
void CSnapshotDecoder::NoteTime(std::int64_t timeMs)
{
    m_presentationTimes = m_presentationTimes || timeMs < m_lastTimeMs;
    m_lastTimeMs = timeMs;
    if (m_presentationTimes)
        m_pendingTimes.clear();
    else if (m_pendingTimes.size() < kMaxPendingTimes)
        m_pendingTimes.insert(timeMs);
}

// A picture's time: its own packet's, unless the stream reorders its frames
// and its times are decoding times (B-frames in an ".avi"); then the times
// of the packets sent, in rising order as the pictures come out.
std::int64_t CSnapshotDecoder::PictureTime(std::int64_t ownMs)
{
    if (m_presentationTimes || m_pendingTimes.empty() || m_decoder.ReorderDepth() == 0) {
        m_pendingTimes.erase(m_pendingTimes.begin(), m_pendingTimes.upper_bound(ownMs));
        return ownMs;
    }
    const std::int64_t timeMs = *m_pendingTimes.begin();
    m_pendingTimes.erase(m_pendingTimes.begin());
    return timeMs;
}

bool CSnapshotDecoder::OpenFor(const StreamFormat& format)
{
    AVCodecParameters* parameters = avcodec_parameters_alloc();
    const bool opened = parameters && format.ToParameters(*parameters) && m_decoder.Open(parameters, 1);
    avcodec_parameters_free(&parameters);
    m_format = format;
    return opened;
}

void CSnapshotDecoder::Decode(const StreamPacket& packet, const PictureSink& sink)
{
    if (!packet.format || !packet.format->IsVideo() || packet.data.empty())
        return;
    if (packet.key && (!m_decoder.IsOpen() || !packet.format->SameLayout(m_format))) {
        Drain(sink);
        if (!OpenFor(*packet.format))
            return;
    }
    if (m_waitForKey && !packet.key)
        return;
    if (!m_decoder.IsOpen())
        return;
    m_waitForKey = false;
    AVPacket* av = av_packet_alloc();
    if (!av || av_new_packet(av, int(packet.data.size())) < 0) {
        av_packet_free(&av);
        return;
    }
    std::memcpy(av->data, packet.data.data(), packet.data.size());
    if (packet.key)
        av->flags |= AV_PKT_FLAG_KEY;
    NoteTime(packet.timeMs);
    m_decoder.Send(av, packet.timeMs);
    av_packet_free(&av);
    ReceiveAll(sink);
}

void CSnapshotDecoder::ReceiveAll(const PictureSink& sink)
{
    while (m_decoder.Receive(m_frame.get())) {
        if (m_converter.Convert(*m_frame, false, m_picture)) {
            m_picture.timeMs = PictureTime(m_frame->best_effort_timestamp);
            sink(m_picture);
        }
        av_frame_unref(m_frame.get());
    }
}

void CSnapshotDecoder::Drain(const PictureSink& sink)
{
    if (m_decoder.IsOpen()) {
        m_decoder.SendEnd();
        ReceiveAll(sink);
        m_decoder.Flush();
    }
    m_waitForKey = true;
    ForgetTimes();
}

}  // namespace PLAY_MODULE
