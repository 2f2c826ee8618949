#include "Platform/PlayModule/Source/ContainerTimes.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/parseutils.h>
}

namespace PLAY_MODULE {

std::int64_t ContainerCreationTimeMs(const AVFormatContext& format, int videoStream)
{
    const AVDictionaryEntry* entry = av_dict_get(format.metadata, "creation_time", nullptr, 0);
    if (!entry && videoStream >= 0 && unsigned(videoStream) < format.nb_streams)
        entry = av_dict_get(format.streams[videoStream]->metadata, "creation_time", nullptr, 0);
    std::int64_t micros = 0;
    if (!entry || av_parse_time(&micros, entry->value, 0) < 0 || micros <= 0)
        return -1;
    return micros / 1000;
}

std::int64_t VideoStartPts(const AVStream& video)
{
    return video.start_time != AV_NOPTS_VALUE ? video.start_time : 0;
}

}  // namespace PLAY_MODULE
