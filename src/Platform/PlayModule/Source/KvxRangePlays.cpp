#include "Platform/PlayModule/Source/KvxRangePlays.h"

#include "Platform/PlayModule/Format/KvxFileReader.h"
#include "Platform/PlayModule/Format/KvxVideoPayload.h"
#include "Platform/PlayModule/Source/AnnexB.h"

namespace PLAY_MODULE {

bool KvxRangePlays(const std::string& path, std::uint64_t from, std::uint64_t to, std::int64_t fromMs,
                   std::int64_t toMs)
{
    CKvxFileReader reader;
    if (!reader.Open(path))
        return false;
    reader.Seek(from);
    reader.SetReadLimit(to);
    KvxRecord record;
    kvx::VideoCodec codec = kvx::VideoCodec::H264;
    bool decodes = false;
    while (reader.ReadNext(record)) {
        if (record.header.kind != kvx::RecordKind::Video)
            continue;
        KvxVideoPayload video;
        if (record.header.IsKeyFrame()) {
            decodes = video.Decode(record.payload, true) && HasEveryParameterSet(video.DecodableBytes(), video.codec) &&
                      IsKeyAccessUnit(video.frame, video.codec);
            codec = decodes ? video.codec : codec;
        } else {
            decodes = decodes && HoldsPicture(record.payload, codec);
        }
        if (decodes && record.header.timeMs >= fromMs && record.header.timeMs < toMs)
            return true;
    }
    return false;
}

}  // namespace PLAY_MODULE
