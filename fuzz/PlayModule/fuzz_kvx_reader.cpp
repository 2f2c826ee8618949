// Feeds arbitrary bytes to the ".kvx" record parser (in blocks whose sizes
// come from the input), decodes every payload layout it yields, checks the
// chain, and scans the same bytes as a file for its key-frame index (from
// its footer or by walking the records). Every fast path (the file reader,
// the index walk whole and in slices, the footer's index, the key frame found
// without an index, the open's end time and the export's cut end) must agree
// with a plain reference walk.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "Platform/PlayModule/Format/KvxAudioPayload.h"
#include "Platform/PlayModule/Format/KvxChainVerifier.h"
#include "Platform/PlayModule/Format/KvxFileReader.h"
#include "Platform/PlayModule/Source/KvxIndexScanner.h"
#include "Platform/PlayModule/Format/KvxOverlayRules.h"
#include "Platform/PlayModule/Format/KvxOverlayTargets.h"
#include "Platform/PlayModule/Format/KvxRecordParser.h"
#include "Platform/PlayModule/Format/KvxSignaturePayload.h"
#include "Platform/PlayModule/Format/KvxVideoPayload.h"
#include "Platform/PlayModule/Support/KvxReferenceWalk.h"
#include "PlayModule/ChecksumMender.h"

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

// The input as a file that lives in memory only, so no run leaves one behind.
std::string ScratchFile(const std::uint8_t* data, std::size_t size)
{
    static const int fd = ::memfd_create("fuzz_kvx_reader", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (::ftruncate(fd, 0) == 0 && size > 0 && ::pwrite(fd, data, size, 0) < 0) return std::string();
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
    // Whatever index the footer or a scan gives, its bytes come back.
    CKeyFrameIndex index;
    if (CKvxIndexScanner::Index(path, index) && !CKeyFrameIndex::FromBytes(index.ToBytes())) std::abort();
    if (CKvxIndexScanner::Scan(path, index) && !CKeyFrameIndex::FromBytes(index.ToBytes())) std::abort();
    const std::string disagreement = PLAY_MODULE_TEST::FastPathDisagreement(path);
    if (!disagreement.empty()) {
        std::fputs(disagreement.c_str(), stderr);
        std::abort();
    }
    return 0;
}

// Record headers and the key-frame footer stay well-formed under mutation.
LUMIVEX_FUZZ_MENDING_MUTATOR(FUZZ::MendKvxFile)
