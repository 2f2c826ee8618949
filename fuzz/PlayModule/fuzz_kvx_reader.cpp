// Feeds arbitrary bytes to the ".kvx" record parser (in blocks whose sizes
// come from the input), decodes every payload layout it yields, checks the
// chain, and scans the same bytes as a file for its key-frame index.
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "Platform/PlayModule/KvxAudioPayload.h"
#include "Platform/PlayModule/KvxChainVerifier.h"
#include "Platform/PlayModule/KvxFileReader.h"
#include "Platform/PlayModule/KvxIndexScanner.h"
#include "Platform/PlayModule/KvxOverlayRules.h"
#include "Platform/PlayModule/KvxOverlayTargets.h"
#include "Platform/PlayModule/KvxRecordParser.h"
#include "Platform/PlayModule/KvxSignaturePayload.h"
#include "Platform/PlayModule/KvxVideoPayload.h"

using namespace PLAY_MODULE;

namespace {

void Inspect(const KvxRecord& record, CKvxChainVerifier& verifier)
{
    verifier.Check(record);
    switch (record.header.kind) {
    case kvx::RecordKind::Video: {
        KvxVideoPayload video;
        if (video.Decode(record.payload, record.header.IsKeyFrame())) (void)video.DecodableBytes();
        break;
    }
    case kvx::RecordKind::Audio: KvxAudioPayload().Decode(record.payload); break;
    case kvx::RecordKind::Signature: KvxSignaturePayload().Decode(record.payload); break;
    case kvx::RecordKind::OverlayRules: KvxOverlayRules().Decode(record.payload); break;
    case kvx::RecordKind::OverlayTargets: KvxOverlayTargets().Decode(record.payload); break;
    case kvx::RecordKind::Watermark: break;
    }
}

std::string ScratchFile(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/fuzz_kvx_reader." + std::to_string(::getpid()) + ".kvx";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CKvxRecordParser parser;
    CKvxChainVerifier verifier;
    KvxRecord record;
    const std::size_t block = size > 0 ? 1 + data[0] * 37 : 1;
    for (std::size_t done = 0; done < size; done += block) {
        parser.Feed({data + done, std::min(block, size - done)});
        while (parser.Next(record) == CKvxRecordParser::Status::Record) Inspect(record, verifier);
    }
    while (parser.SkipCutOffRecord())
        while (parser.Next(record) == CKvxRecordParser::Status::Record) Inspect(record, verifier);
    parser.DiscardPending();

    const std::string path = ScratchFile(data, size);
    CKvxFileReader reader;
    if (reader.Open(path))
        while (reader.ReadNext(record)) Inspect(record, verifier);
    CKeyFrameIndex index;
    CKvxIndexScanner::Scan(path, index);
    return 0;
}
