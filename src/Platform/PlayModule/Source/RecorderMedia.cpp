#include "Platform/PlayModule/Source/RecorderMedia.h"

extern "C" {
#include <libavutil/dict.h>
}

namespace PLAY_MODULE {

const char* const kRecorderFormats = "avi,mov,mpeg,mpegts";
// FFmpeg's decoder names (not its codec names): MP3 is decoded by "mp3float".
const char* const kRecorderDecoders =
    "h264,hevc,mpeg4,mjpeg,aac,pcm_alaw,pcm_mulaw,pcm_s16le,g726,mp2,mp3float,mp3";

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
