// Edits of a signed recording checked as the watermark page checks a file:
// bytes inserted, overwritten, removed or copied elsewhere, record header
// and footer checksums mended or not. An edit that still reads "Original" (no error
// reported, a watermark text verified) must have left the recording itself
// or whole groups of it cut at key frames; anything else traps.
//
// Input: edits of 8 bytes each (operation, position, length, source, fill);
// the last byte's bit 0 mends the record header checksums afterwards, bit 1
// the key-frame footer's.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "KvxWriter/TestRecorderKey.h"
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
// one, to the end of the records, or to the end of the file.
bool IsWholeGroups(const Recording& recording, const std::vector<std::uint8_t>& bytes)
{
    const auto& base = recording.bytes;
    for (const std::uint64_t from : recording.keyFrames) {
        const std::uint64_t to = from + bytes.size();
        const bool endsAtBoundary = to == recording.recordsEnd || to == base.size() ||
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
    std::vector<std::uint8_t> bytes = base.bytes;
    for (std::size_t i = 0; i < kMaxEdits && (i + 1) * kEditSize <= size; ++i)
        ApplyEdit(data + i * kEditSize, bytes);
    const std::uint8_t mend = size > 0 ? data[size - 1] : 0;
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
