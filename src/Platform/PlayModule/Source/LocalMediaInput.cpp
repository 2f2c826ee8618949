#include "Platform/PlayModule/Source/LocalMediaInput.h"

#include "Platform/PlayModule/Source/RecorderMedia.h"

#include <cstdio>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

namespace PLAY_MODULE {
namespace {

bool StartsWithPackHeader(const std::string& path)
{
    unsigned char head[4] = {};
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    return got == 4 && head[0] == 0 && head[1] == 0 && head[2] == 1 && head[3] == 0xBA;
}

}  // namespace

AVFormatContext* OpenLocalMediaInput(const std::string& path, bool readStreamFacts)
{
    const AVInputFormat* forced =
        StartsWithPackHeader(path) ? av_find_input_format("mpeg") : nullptr;
    AVDictionary* options = nullptr;
    LimitToRecorderMedia(&options);
    const std::string url = "file:" + path;
    AVFormatContext* format = nullptr;
    const int opened = avformat_open_input(&format, url.c_str(), forced, &options);
    av_dict_free(&options);
    if (opened < 0)
        return nullptr;
    if (readStreamFacts && avformat_find_stream_info(format, nullptr) < 0) {
        avformat_close_input(&format);
        return nullptr;
    }
    return format;
}

}  // namespace PLAY_MODULE
