#include "Platform/PlayModule/Source/LeadingPictures.h"

#include "Platform/PlayModule/Source/LocalMediaInput.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace PLAY_MODULE {

namespace {

// The next video packet at or after position; false at the file's end.
bool NextVideo(AVFormatContext& format, int video, std::uint64_t position, AVPacket& packet)
{
    while (av_read_frame(&format, &packet) >= 0) {
        if (packet.stream_index == video && packet.pos >= std::int64_t(position))
            return true;
        av_packet_unref(&packet);
    }
    return false;
}

std::uint64_t LeadingEnd(AVFormatContext& format, int video, std::uint64_t end)
{
    AVPacket* packet = av_packet_alloc();
    if (!packet)
        return end;
    std::uint64_t leadingEnd = end;
    if (NextVideo(format, video, end, *packet) && (packet->flags & AV_PKT_FLAG_KEY) &&
        packet->pts != AV_NOPTS_VALUE) {
        const std::int64_t keyPts = packet->pts;
        av_packet_unref(packet);
        bool anyLeading = false;
        while (NextVideo(format, video, end, *packet)) {
            const bool leading = packet->pts != AV_NOPTS_VALUE && packet->pts < keyPts;
            const std::int64_t position = packet->pos;
            av_packet_unref(packet);
            if (!leading) {
                leadingEnd = anyLeading ? std::uint64_t(position) : end;
                break;
            }
            anyLeading = true;
        }
    }
    av_packet_free(&packet);
    return leadingEnd;
}

}  // namespace

std::uint64_t CLeadingPictures::EndAfter(const std::string& path, std::uint64_t end)
{
    AVFormatContext* format = OpenLocalMediaInput(path, false);
    if (!format)
        return end;
    const int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    std::uint64_t leadingEnd = end;
    if (video >= 0 && format->streams[video]->codecpar->codec_id == AV_CODEC_ID_HEVC &&
        !(format->iformat->flags & AVFMT_NO_BYTE_SEEK) &&
        av_seek_frame(format, -1, std::int64_t(end), AVSEEK_FLAG_BYTE) >= 0)
        leadingEnd = LeadingEnd(*format, video, end);
    avformat_close_input(&format);
    return leadingEnd;
}

}  // namespace PLAY_MODULE
