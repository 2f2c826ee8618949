#include "Platform/PlayModule/Source/AnnexBFilter.h"

#include <algorithm>
#include <span>

#include "Platform/PlayModule/Source/AnnexB.h"

extern "C" {
#include <libavcodec/bsf.h>
#include <libavcodec/codec_par.h>
}

namespace PLAY_MODULE {

bool IsLengthPrefixed(const AVCodecParameters& parameters)
{
    return parameters.extradata_size > 0 && parameters.extradata[0] == 1;
}

std::vector<std::uint8_t> HeaderParameterSets(const AVCodecParameters& parameters)
{
    const std::span<const std::uint8_t> header(parameters.extradata, std::size_t(std::max(parameters.extradata_size, 0)));
    const bool startCode = (header.size() > 3 && header[0] == 0 && header[1] == 0 && header[2] == 1) ||
                           (header.size() > 4 && header[0] == 0 && header[1] == 0 && header[2] == 0 && header[3] == 1);
    if (!startCode || (parameters.codec_id != AV_CODEC_ID_H264 && parameters.codec_id != AV_CODEC_ID_HEVC))
        return {};
    return ExtractParameterSets(header, parameters.codec_id == AV_CODEC_ID_HEVC ? kvx::VideoCodec::H265
                                                                                : kvx::VideoCodec::H264);
}

AVBSFContext* OpenAnnexBFilter(const AVCodecParameters& parameters, AVRational timeBase)
{
    const char* name = parameters.codec_id == AV_CODEC_ID_H264   ? "h264_mp4toannexb"
                       : parameters.codec_id == AV_CODEC_ID_HEVC ? "hevc_mp4toannexb"
                                                                 : nullptr;
    const AVBitStreamFilter* filter = name ? av_bsf_get_by_name(name) : nullptr;
    AVBSFContext* context = nullptr;
    if (!filter || av_bsf_alloc(filter, &context) < 0)
        return nullptr;
    context->time_base_in = timeBase;
    if (avcodec_parameters_copy(context->par_in, &parameters) < 0 || av_bsf_init(context) < 0)
        av_bsf_free(&context);
    return context;
}

}  // namespace PLAY_MODULE
