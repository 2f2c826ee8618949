#include "Platform/PlayModule/Stream/StreamPacket.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

namespace PLAY_MODULE {

bool StreamFormat::SameLayout(const StreamFormat& other) const
{
    return type == other.type && codec == other.codec && width == other.width &&
           height == other.height && sampleRate == other.sampleRate &&
           channels == other.channels && extradata == other.extradata;
}

bool StreamFormat::ToParameters(AVCodecParameters& out) const
{
    out.codec_type = type;
    out.codec_id = codec;
    out.width = width;
    out.height = height;
    out.sample_rate = sampleRate;
    out.bits_per_coded_sample = bitsPerSample;
    out.block_align = blockAlign;
    if (channels > 0)
        av_channel_layout_default(&out.ch_layout, channels);
    if (extradata.empty())
        return true;
    out.extradata = static_cast<std::uint8_t*>(
        av_mallocz(extradata.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!out.extradata)
        return false;
    std::memcpy(out.extradata, extradata.data(), extradata.size());
    out.extradata_size = int(extradata.size());
    return true;
}

StreamFormat StreamFormat::FromParameters(const AVCodecParameters& in, int rateNum, int rateDen)
{
    StreamFormat format;
    format.type = in.codec_type;
    format.codec = in.codec_id;
    format.width = in.width;
    format.height = in.height;
    format.frameRateNum = rateNum > 0 && rateDen > 0 ? rateNum : 25;
    format.frameRateDen = rateNum > 0 && rateDen > 0 ? rateDen : 1;
    format.sampleRate = in.sample_rate;
    format.channels = in.ch_layout.nb_channels;
    format.bitsPerSample = in.bits_per_coded_sample;
    format.blockAlign = in.block_align;
    if (in.extradata && in.extradata_size > 0)
        format.extradata.assign(in.extradata, in.extradata + in.extradata_size);
    return format;
}

}  // namespace PLAY_MODULE
