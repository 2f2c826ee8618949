// ".kvx" bytes copied in blocks (their sizes from the input) through the
// export's cut point: any footer it makes, for the whole copy or for the
// copy cut at its last boundary, is one our reader takes, and names the
// key frames of the records it ends, at their positions and times.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "Export/KvxCutPoint.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Format/KvxRecordHeader.h"
#include "PlayModule/ChecksumMender.h"

using namespace PLAY_MODULE;

namespace {

struct Expected {
    std::vector<CKvxIndexFooter::KeyFrame> keyFrames;
    std::int64_t startTimeMs = 0;
    std::int64_t endTimeMs = 0;
};

// The records of bytes: whole ones, or the footer was wrong to be made.
Expected WalkRecords(std::span<const std::uint8_t> bytes)
{
    Expected expected;
    KvxRecordHeader header;
    for (std::size_t at = 0; at < bytes.size(); at += kvx::kHeaderSize + header.payloadSize) {
        if (bytes.size() - at < kvx::kHeaderSize || !header.Decode(bytes.data() + at) ||
            header.payloadSize > bytes.size() - at - kvx::kHeaderSize)
            std::abort();
        if (header.IsKeyFrame()) expected.keyFrames.push_back({header.timeMs, at});
        expected.startTimeMs = at == 0 ? header.timeMs : expected.startTimeMs;
        expected.endTimeMs = at == 0 ? header.timeMs : std::max(expected.endTimeMs, header.timeMs);
    }
    return expected;
}

std::optional<CKvxIndexFooter::Contents> ReadBack(std::span<const std::uint8_t> copy, const std::vector<std::uint8_t>& footer)
{
    static const int fd = ::memfd_create("fuzz_kvx_cut_point", 0);
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, copy.data(), copy.size(), 0) != ssize_t(copy.size()) ||
        ::pwrite(fd, footer.data(), footer.size(), off_t(copy.size())) != ssize_t(footer.size()))
        std::abort();
    return CKvxIndexFooter::ReadFrom(fd, copy.size() + footer.size());
}

void CheckFooter(const CKvxCutPoint& cut, std::span<const std::uint8_t> bytes, std::uint64_t end)
{
    const auto footer = cut.Footer(end);
    if (footer.empty()) return;
    const auto copy = bytes.first(std::size_t(end));
    const Expected expected = WalkRecords(copy);
    const auto read = ReadBack(copy, footer);
    if (!read || read->keyFrames != expected.keyFrames || read->trailer.tableOffset != end ||
        read->trailer.startTimeMs != expected.startTimeMs || read->trailer.endTimeMs != expected.endTimeMs)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::size_t block = size > 0 ? 1 + data[0] * 37 : 1;
    CKvxCutPoint cut;
    for (std::size_t done = 0; done < size; done += block) cut.Feed(data + done, std::min(block, size - done));
    const std::span<const std::uint8_t> bytes(data, size);
    CheckFooter(cut, bytes, size);
    CheckFooter(cut, bytes, cut.LastBoundary());
    return 0;
}

// Record headers stay well-formed under mutation.
LUMIVEX_FUZZ_MENDING_MUTATOR(FUZZ::MendKvxHeaders)
