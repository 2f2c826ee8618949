#include "Platform/PlayModule/Source/RecorderMedia.h"

extern "C" {
#include <libavutil/dict.h>
}

namespace PLAY_MODULE {

const char* const kRecorderFormats = "avi,mov,mpeg,mpegts";
const char* const kRecorderDecoders =
    "h264,hevc,mpeg4,mjpeg,aac,pcm_alaw,pcm_mulaw,pcm_s16le,adpcm_g726,mp2,mp3";

void LimitToRecorderMedia(AVDictionary** options)
{
    av_dict_set(options, "protocol_whitelist", "file", 0);
    av_dict_set(options, "format_whitelist", kRecorderFormats, 0);
    LimitToRecorderDecoders(options);
}

void LimitToRecorderDecoders(AVDictionary** options)
{
    av_dict_set(options, "codec_whitelist", kRecorderDecoders, 0);
}

}  // namespace PLAY_MODULE
