// Edits of a signed recording checked as the watermark page checks a file:
// bytes inserted, overwritten, removed or copied elsewhere, record header
// and footer checksums mended or not; or a key-frame footer forged to a
// plan. An edit that still reads "Original" (no error reported, a
// watermark text verified) must have left the recording itself or whole
// groups of it cut at key frames (a cut of the front without the whole
// recording's footer); a footer forged to a plan must have come out as the
// writer's own; anything else traps.
//
// Input: edits of 8 bytes each (operation, position, length, source, fill);
// the last byte's bit 0 mends the record header checksums afterwards, bit 1
// the key-frame footer's. With its bit 2 set, the first 8 bytes are a plan
// instead: key frames cut off the front (their bytes gone, the whole
// recording's footer kept), a shift of the table offset and every position,
// entries dropped (a bit each), invented entries before the first (count,
// how much earlier, how far apart), and whether the first time is the first
// invented one's; the footer is sealed with its checksum.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "KvxWriter/TestRecorderKey.h"
#include "Platform/PlayModule/Format/ByteOrder.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Format/KvxRecordEncoder.h"
#include "Platform/PlayModule/Stream/PlaySdkWrapper.h"
#include "PlayModule/ChecksumMender.h"
#include "PlayModule/StreamDrain.h"

using namespace PLAY_MODULE;

namespace {

constexpr std::int64_t kStartMs = 1451703845000;
constexpr int kGroups = 3;
constexpr int kFramesPerGroup = 4;
constexpr std::size_t kEditSize = 8;
constexpr std::size_t kMaxEdits = 4;

struct Recording {
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint64_t> keyFrames;  // positions
    std::uint64_t recordsEnd = 0;
};

void AddGroup(CKvxRecordEncoder& encoder, int group, std::vector<std::uint8_t>& out)
{
    static const std::vector<std::uint8_t> params{0, 0, 0, 1, 0x67, 0x42, 0, 0x1E, 0, 0, 0, 1, 0x68, 0xCE};
    for (int i = 0; i < kFramesPerGroup; ++i) {
        const std::int64_t time = kStartMs + (group * kFramesPerGroup + i) * 200;
        const std::vector<std::uint8_t> picture(24 + i, std::uint8_t(0x40 + group));
        KvxVideoFrame frame;
        frame.keyFrame = i == 0;
        frame.width = 32;
        frame.height = 32;
        frame.timeMs = time;
        frame.parameterSets = frame.keyFrame ? std::span<const std::uint8_t>(params) : std::span<const std::uint8_t>();
        frame.data = picture;
        encoder.AddVideo(frame, out);
        if (frame.keyFrame)
            encoder.AddWatermark(time, "Oracle recorder", out);
        const std::vector<std::uint8_t> sound(16, 0xD5);
        KvxAudioPayload audio;
        audio.data = sound;
        encoder.AddAudio(audio, time, out);
    }
}

// The key frames' positions, found by walking the records.
std::vector<std::uint64_t> KeyFramePositions(std::span<const std::uint8_t> records)
{
    std::vector<std::uint64_t> positions;
    KvxRecordHeader header;
    for (std::size_t at = 0; at + kvx::kHeaderSize <= records.size(); at += kvx::kHeaderSize + header.payloadSize) {
        if (!header.Decode(records.data() + at)) __builtin_trap();
        if (header.IsKeyFrame()) positions.push_back(at);
    }
    return positions;
}

Recording MakeRecording()
{
    Recording recording;
    CKvxRecordEncoder encoder(KVX_WRITER::TestRecorderSigner());
    for (int group = 0; group < kGroups; ++group)
        AddGroup(encoder, group, recording.bytes);
    encoder.AddClosingSignature(kStartMs + kGroups * kFramesPerGroup * 200, recording.bytes);
    recording.recordsEnd = recording.bytes.size();
    recording.keyFrames = KeyFramePositions(recording.bytes);
    CKvxIndexFooter footer;
    footer.NoteRecords(recording.bytes, 0);
    const auto tail = footer.Encode(recording.recordsEnd);
    recording.bytes.insert(recording.bytes.end(), tail.begin(), tail.end());
    return recording;
}

class CVerdict : public IWatermarkCheckListener {
public:
    void OnWatermarkCheckInfo(CPlaySdkWrapper*, const char*, long, long kind, long, long, long result) override
    {
        std::lock_guard lock(m_mutex);
        m_failed = m_failed || result != kWatermarkResultOk;
        m_textVerified = m_textVerified || (kind == kWatermarkKindText && result == kWatermarkResultOk);
    }
    bool Original() const
    {
        std::lock_guard lock(m_mutex);
        return !m_failed && m_textVerified;
    }

private:
    mutable std::mutex m_mutex;
    bool m_failed = false;
    bool m_textVerified = false;
};

// Fed as the watermark page feeds a file.
bool ReadsOriginal(const std::vector<std::uint8_t>& bytes)
{
    CVerdict verdict;
    CPlaySdkWrapper player;
    player.SetWatermarkListener(&verdict);
    player.SetStreamOpenMode(1);
    player.OpenStream(921600);
    player.EnableWaterMarkCallBackEx();
    player.Play(nullptr);
    auto* data = const_cast<std::uint8_t*>(bytes.data());
    if (!bytes.empty())
        while (!player.InputData(data, bytes.size())) std::this_thread::yield();
    FUZZ::Drain(player);
    player.Stop();
    player.CloseStream();
    return verdict.Original();
}

// The recording itself, or whole groups of it: from a key frame to a later
// one or to the end of the records, or from the start to the end of the file
// (a cut of the front keeps a footer that no longer names its records).
bool IsWholeGroups(const Recording& recording, const std::vector<std::uint8_t>& bytes)
{
    const auto& base = recording.bytes;
    for (const std::uint64_t from : recording.keyFrames) {
        const std::uint64_t to = from + bytes.size();
        const bool endsAtBoundary = to == recording.recordsEnd || (from == 0 && to == base.size()) ||
                                    std::find(recording.keyFrames.begin(), recording.keyFrames.end(), to) !=
                                        recording.keyFrames.end();
        if (endsAtBoundary && to <= base.size() &&
            std::equal(bytes.begin(), bytes.end(), base.begin() + std::ptrdiff_t(from)))
            return true;
    }
    return false;
}

std::size_t Scaled(const std::uint8_t* at, std::size_t range)
{
    return std::size_t((std::uint64_t(at[0] | at[1] << 8) * range) >> 16);
}

void ApplyEdit(const std::uint8_t* edit, std::vector<std::uint8_t>& bytes)
{
    const std::size_t size = bytes.size();
    const std::size_t at = Scaled(edit + 1, size + 1);
    const std::size_t length = 1 + Scaled(edit + 3, std::min<std::size_t>(size, 1024));
    const std::size_t from = Scaled(edit + 5, size + 1);
    const std::uint8_t fill = edit[7];
    const auto pos = bytes.begin() + std::ptrdiff_t(at);
    switch (edit[0] % 4) {
    case 0:  // insert
        bytes.insert(pos, length, fill);
        break;
    case 1:  // overwrite
        std::fill(pos, pos + std::ptrdiff_t(std::min(length, size - at)), fill);
        break;
    case 2:  // remove
        bytes.erase(pos, pos + std::ptrdiff_t(std::min(length, size - at)));
        break;
    default: {  // copy elsewhere
        const std::vector<std::uint8_t> copied(bytes.begin() + std::ptrdiff_t(from),
                                               bytes.begin() + std::ptrdiff_t(from + std::min(length, size - from)));
        bytes.insert(bytes.begin() + std::ptrdiff_t(at), copied.begin(), copied.end());
    }
    }
}

struct Entry {
    std::int64_t timeMs;
    std::uint64_t position;
};

// The whole recording's key frames, as its footer names them.
std::vector<Entry> KeyFramesOf(const Recording& recording)
{
    std::vector<Entry> entries;
    KvxRecordHeader header;
    for (const std::uint64_t at : recording.keyFrames) {
        if (!header.Decode(recording.bytes.data() + at)) __builtin_trap();
        entries.push_back({header.timeMs, at});
    }
    return entries;
}

// The footer bytes for entries, sealed with their checksum.
std::vector<std::uint8_t> SealedFooter(const std::vector<Entry>& entries, std::uint64_t tableOffset,
                                       std::int64_t startMs, std::int64_t endMs)
{
    std::vector<std::uint8_t> out(entries.size() * CKvxIndexFooter::kEntrySize + CKvxIndexFooter::kTrailerSize, 0);
    std::uint8_t* p = out.data();
    for (const Entry& entry : entries) {
        StoreU64(p, std::uint64_t(entry.timeMs));
        StoreU64(p + 8, entry.position);
        p += CKvxIndexFooter::kEntrySize;
    }
    StoreU64(p, tableOffset);
    StoreU32(p + 8, std::uint32_t(entries.size()));
    StoreU64(p + 16, std::uint64_t(startMs));
    StoreU64(p + 24, std::uint64_t(endMs));
    StoreU32(p + 32, CKvxIndexFooter::Checksum({out.data(), p}, {p, CKvxIndexFooter::kTrailerSize}));
    std::memcpy(p + 40, "KVXINDEX", 8);
    return out;
}

// The recording with a footer forged to the plan (the writer's own when the
// plan changes nothing, or invents what it drops).
std::vector<std::uint8_t> WithPlannedFooter(const Recording& recording, const std::uint8_t* plan)
{
    const std::vector<Entry> real = KeyFramesOf(recording);
    const std::size_t cutKeys = plan[0] % real.size();
    const std::uint64_t cut = real[cutKeys].position;
    const std::uint64_t shift = std::uint64_t(plan[1]) * 16;
    const std::size_t invented = plan[3] % 4;
    const std::int64_t earlierMs = std::int64_t(plan[4]) * 600000;  // up to 42 hours
    const std::uint64_t apart = 1 + plan[5];
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < invented; ++i)
        entries.push_back({real.front().timeMs - earlierMs + std::int64_t(i) * 40, i * apart});
    for (std::size_t i = 0; i < real.size(); ++i)
        if (((plan[2] >> i) & 1) == 0) entries.push_back({real[i].timeMs, real[i].position + shift});
    if (entries.empty()) return {};
    const std::int64_t startMs = invented > 0 && (plan[6] & 1) != 0 ? entries.front().timeMs : real.front().timeMs;
    KvxRecordHeader last;
    std::int64_t endMs = real.back().timeMs;
    for (std::uint64_t at = 0; at < recording.recordsEnd; at += kvx::kHeaderSize + last.payloadSize) {
        if (!last.Decode(recording.bytes.data() + at)) __builtin_trap();
        endMs = std::max(endMs, last.timeMs);
    }
    std::vector<std::uint8_t> bytes(recording.bytes.begin() + std::ptrdiff_t(cut),
                                    recording.bytes.begin() + std::ptrdiff_t(recording.recordsEnd));
    const auto footer = SealedFooter(entries, recording.recordsEnd + shift, startMs, endMs);
    bytes.insert(bytes.end(), footer.begin(), footer.end());
    return bytes;
}

const Recording& Base()
{
    static const Recording recording = [] {
        Recording made = MakeRecording();
        if (!ReadsOriginal(made.bytes)) {
            std::fprintf(stderr, "the unedited recording does not read Original\n");
            __builtin_trap();
        }
        return made;
    }();
    return recording;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Recording& base = Base();
    const std::uint8_t mend = size > 0 ? data[size - 1] : 0;
    if ((mend & 4) != 0 && size > kEditSize) {
        const auto planned = WithPlannedFooter(base, data);
        if (planned != base.bytes && ReadsOriginal(planned)) {
            std::fprintf(stderr, "a footer forged to a plan reads Original\n");
            __builtin_trap();
        }
        return 0;
    }
    std::vector<std::uint8_t> bytes = base.bytes;
    for (std::size_t i = 0; i < kMaxEdits && (i + 1) * kEditSize <= size; ++i)
        ApplyEdit(data + i * kEditSize, bytes);
    if ((mend & 1) != 0)
        FUZZ::MendKvxHeaders(bytes.data(), bytes.size());
    if ((mend & 2) != 0)
        FUZZ::MendKvxFooter(bytes.data(), bytes.size());
    if (ReadsOriginal(bytes) && !IsWholeGroups(base, bytes)) {
        std::fprintf(stderr, "an edit of %zu bytes reads Original but is no whole groups of the recording\n",
                     bytes.size());
        __builtin_trap();
    }
    return 0;
}
