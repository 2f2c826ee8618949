#include "Platform/PlayModule/Source/KvxMediaSource.h"

#include "Platform/PlayModule/Format/KvxAudioPayload.h"
#include "Platform/PlayModule/Source/KvxIndexScanner.h"
#include "Platform/PlayModule/Format/KvxRecord.h"
#include "Platform/PlayModule/Format/KvxVideoPayload.h"

#include <algorithm>
#include <cstring>
#include <iterator>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

namespace PLAY_MODULE {

namespace {

constexpr int kHeadRecordLimit = 4096;
// After the first key frame, the head is read this long for a sound record.
constexpr std::int64_t kAudioWaitMs = 1000;
// Tails searched for the last picture, shortest first.
constexpr std::uint64_t kTailBytes[] = {192u << 10, 4u << 20};
// Bytes read at most for the head: the first picture past as much damage
// as the reader passes, as large as the format allows. A damaged file of
// gigabytes (zeros after its records) opens about as fast as a sound one.
constexpr std::uint64_t kHeadBytes = kvx::kMaxGapBytes + kvx::kMaxRecordBytes;
// Bytes read at least by each probe that searches the last pictures when no tail holds one.
constexpr std::uint64_t kProbeBytes = 512u << 10;

AVCodecID VideoCodecId(kvx::VideoCodec codec)
{
    return codec == kvx::VideoCodec::H265 ? AV_CODEC_ID_HEVC : AV_CODEC_ID_H264;
}

AVCodecID AudioCodecId(kvx::AudioCodec codec)
{
    switch (codec) {
    case kvx::AudioCodec::G711ALaw: return AV_CODEC_ID_PCM_ALAW;
    case kvx::AudioCodec::G711MuLaw: return AV_CODEC_ID_PCM_MULAW;
    case kvx::AudioCodec::AacAdts: return AV_CODEC_ID_AAC;
    }
    return AV_CODEC_ID_NONE;
}

AVPacketPtr PacketOf(std::span<const std::uint8_t> bytes)
{
    AVPacketPtr packet(av_packet_alloc());
    if (!packet || av_new_packet(packet.get(), int(bytes.size())) < 0)
        return nullptr;
    if (!bytes.empty())
        std::memcpy(packet->data, bytes.data(), bytes.size());
    return packet;
}

}  // namespace

CKvxMediaSource::CKvxMediaSource(std::shared_ptr<CSharedKeyFrameIndex> index)
    : m_index(index ? std::move(index) : std::make_shared<CSharedKeyFrameIndex>())
{
}

CKvxMediaSource::~CKvxMediaSource()
{
    avcodec_parameters_free(&m_video);
    avcodec_parameters_free(&m_audio);
}

bool CKvxMediaSource::Open(const std::string& path)
{
    m_path = path;
    if (!m_reader.Open(path))
        return false;
    m_reader.SetReadLimit(kHeadBytes);
    if (!ReadHead())
        return false;
    ReadEndTime();
    if (!m_audio && m_endHasSound)
        ReadLateSoundFacts();
    m_reader.SetReadLimit(CKvxFileReader::kNoLimit);
    m_reader.Seek(0);
    m_waitForKey = true;
    return true;
}

bool CKvxMediaSource::ReadHead()
{
    KvxRecord record;
    for (int count = 0; count < kHeadRecordLimit && !HeadKnown(record.header) && m_reader.ReadNext(record);
         ++count) {
        m_largestRecord = std::max<std::uint64_t>(m_largestRecord, record.TotalSize());
        if (record.header.kind == kvx::RecordKind::Audio && !m_audio)
            TakeAudioFacts(record);
        if (!record.header.IsKeyFrame() || m_video)
            continue;
        KvxVideoPayload video;
        if (!video.Decode(record.payload, true))
            continue;
        m_video = avcodec_parameters_alloc();
        if (!m_video)
            return false;
        m_video->codec_type = AVMEDIA_TYPE_VIDEO;
        m_video->codec_id = VideoCodecId(video.codec);
        m_video->width = video.width;
        m_video->height = video.height;
        if (video.frameRateMilli > 0 && video.frameRateMilli < 1'000'000)
            m_frameRate = video.frameRateMilli / 1000.0;
        m_startAbsMs = record.header.timeMs;
        m_endAbsMs = m_startAbsMs;
    }
    return m_video != nullptr;
}

// Sound that began later than the head was read for: its facts from its
// first record.
void CKvxMediaSource::ReadLateSoundFacts()
{
    m_reader.SetReadLimit(kHeadBytes);
    m_reader.Seek(0);
    KvxRecord record;
    for (int count = 0; count < kHeadRecordLimit && !m_audio && m_reader.ReadNext(record); ++count)
        if (record.header.kind == kvx::RecordKind::Audio)
            TakeAudioFacts(record);
}

// The pictures' facts are known, and the sound's, or no sound came soon
// after the first key frame (the end of the file tells whether it came later).
bool CKvxMediaSource::HeadKnown(const KvxRecordHeader& last) const
{
    return m_video && (m_audio || last.timeMs - m_startAbsMs >= kAudioWaitMs);
}

void CKvxMediaSource::TakeAudioFacts(const KvxRecord& record)
{
    KvxAudioPayload audio;
    if (!audio.Decode(record.payload) || audio.sampleRate == 0 || audio.sampleRate > 192000 ||
        audio.channels == 0 || audio.channels > 8)
        return;
    m_audio = avcodec_parameters_alloc();
    if (!m_audio)
        return;
    m_audio->codec_type = AVMEDIA_TYPE_AUDIO;
    m_audio->codec_id = AudioCodecId(audio.codec);
    m_audio->sample_rate = int(audio.sampleRate);
    av_channel_layout_default(&m_audio->ch_layout, audio.channels);
}

CKvxMediaSource::Probe CKvxMediaSource::ReadLatestVideoTime(std::uint64_t from)
{
    m_reader.Seek(from);
    Probe found = Probe::NoRecord;
    KvxRecord record;
    while (m_reader.ReadNext(record)) {
        m_largestRecord = std::max<std::uint64_t>(m_largestRecord, record.TotalSize());
        m_endHasSound = m_endHasSound || record.header.kind == kvx::RecordKind::Audio;
        if (record.header.kind != kvx::RecordKind::Video) {
            found = found == Probe::NoRecord ? Probe::NoPictures : found;
            continue;
        }
        if (record.header.timeMs >= m_endAbsMs)
            m_endFrom = from;
        m_endAbsMs = std::max(m_endAbsMs, record.header.timeMs);
        found = Probe::Pictures;
    }
    return found;
}

// From the footer's last key frame, the record headers alone up to the
// footer; false when their chain does not reach it.
bool CKvxMediaSource::ReadLatestVideoTimeByHeaders(std::uint64_t from)
{
    const std::uint64_t end = m_reader.RecordsEnd();
    std::int64_t latest = m_endAbsMs;
    KvxRecordHeader header;
    while (from < end) {
        if (end - from < kvx::kHeaderSize || !m_reader.ReadHeaderAt(from, header) ||
            header.payloadSize > end - from - kvx::kHeaderSize)
            return false;
        if (header.kind == kvx::RecordKind::Video)
            latest = std::max(latest, header.timeMs);
        m_endHasSound = m_endHasSound || header.kind == kvx::RecordKind::Audio;
        from += kvx::kHeaderSize + header.payloadSize;
    }
    m_endAbsMs = latest;
    return true;
}

void CKvxMediaSource::ReadEndTime()
{
    if (const auto lastKey = m_reader.FooterLastKeyFrame(); !lastKey || !ReadLatestVideoTimeByHeaders(*lastKey))
        ReadEndTimeBefore(m_reader.FileSize());
    // The last frame lasts one frame interval.
    m_endAbsMs += std::int64_t(1000.0 / m_frameRate);
}

// The latest picture before end. When the records read from the start end
// before the read that found it (at a gap the reader does not pass), the
// latest picture before where they end.
void CKvxMediaSource::ReadEndTimeBefore(std::uint64_t end)
{
    ReadEndTimeFromTail(end);
    if (const auto recordsEnd = CKvxIndexScanner::GapBefore(m_path, m_endFrom)) {
        m_endAbsMs = m_startAbsMs;
        ReadEndTimeFromTail(*recordsEnd);
    }
}

void CKvxMediaSource::ReadEndTimeFromTail(std::uint64_t size)
{
    m_searchEnd = size;
    m_reader.SetReadLimit(size);
    for (const std::uint64_t bytes : kTailBytes) {
        if (size <= bytes) {
            ReadLatestVideoTime(0);
            return;
        }
        if (ReadLatestVideoTime(size - bytes) == Probe::Pictures)
            return;
    }
    // A tail without pictures (sound only, inside one large record, or
    // damaged): where the pictures stop is found by halves.
    SearchLastPictures(size - kTailBytes[std::size(kTailBytes) - 1]);
}

// Pictures are in the head and none are in [end, size): a probe in the middle
// of what is left tells which half they stop in.
void CKvxMediaSource::SearchLastPictures(std::uint64_t end)
{
    std::uint64_t withPictures = 0;
    std::uint64_t without = end;
    while (without - withPictures > ProbeBytes()) {
        const std::uint64_t middle = withPictures + (without - withPictures) / 2;
        (PicturesFrom(middle) ? withPictures : without) = middle;
    }
    ProbeLatestVideoTime(withPictures, without - withPictures + ProbeBytes());
}

// A probe holds two of the largest records read, so that one inside the
// pictures meets a whole record; a record it meets that runs past it widens it.
// Only a probe that meets no record start tells that the pictures stopped before.
bool CKvxMediaSource::PicturesFrom(std::uint64_t from)
{
    std::uint64_t bytes = ProbeBytes();
    for (;;) {
        const Probe probe = ProbeLatestVideoTime(from, bytes);
        if (probe != Probe::NoRecord)
            return probe == Probe::Pictures;
        const auto pendingEnd = m_reader.PendingRecordEnd();
        if (!pendingEnd || *pendingEnd <= from + bytes)
            return false;
        bytes = *pendingEnd - from + kvx::kHeaderSize;
    }
}

std::uint64_t CKvxMediaSource::ProbeBytes() const
{
    return std::max(kProbeBytes, 2 * m_largestRecord);
}

CKvxMediaSource::Probe CKvxMediaSource::ProbeLatestVideoTime(std::uint64_t from, std::uint64_t bytes)
{
    m_reader.SetReadLimit(std::min(from + bytes, m_searchEnd));
    return ReadLatestVideoTime(from);
}

std::int64_t CKvxMediaSource::FileSize() const
{
    return std::int64_t(m_reader.FileSize());
}

std::int64_t CKvxMediaSource::DataEnd()
{
    return std::int64_t(m_reader.RecordsEnd());
}

bool CKvxMediaSource::ToPacket(KvxRecord& record, MediaPacket& out)
{
    const KvxRecordHeader& header = record.header;
    out = MediaPacket{};
    out.timeMs = header.timeMs - m_startAbsMs;
    out.position = std::int64_t(record.offset);
    out.recordKind = int(header.kind);
    switch (header.kind) {
    case kvx::RecordKind::Video: {
        const bool key = header.IsKeyFrame();
        KvxVideoPayload video;
        if (!video.Decode(record.payload, key))
            return false;
        out.kind = PacketKind::Video;
        out.key = key;
        out.packet = key ? PacketOf(video.DecodableBytes()) : PacketOf(video.frame);
        break;
    }
    case kvx::RecordKind::Audio: {
        KvxAudioPayload audio;
        if (!audio.Decode(record.payload))
            return false;
        out.kind = PacketKind::Audio;
        out.packet = PacketOf(audio.data);
        break;
    }
    case kvx::RecordKind::OverlayRules:
    case kvx::RecordKind::OverlayTargets:
        out.kind = PacketKind::Overlay;
        out.overlayKind = int(header.kind);
        out.packet = PacketOf(record.payload);
        break;
    default:
        out.kind = PacketKind::Other;
        break;
    }
    out.rawStorage.resize(kvx::kHeaderSize + record.payload.size());
    header.Encode(out.rawStorage.data());
    std::copy(record.payload.begin(), record.payload.end(),
              out.rawStorage.begin() + kvx::kHeaderSize);
    out.raw = out.rawStorage.data();
    out.rawSize = int(out.rawStorage.size());
    return true;
}

int CKvxMediaSource::ReadPacket(MediaPacket& out)
{
    KvxRecord record;
    while (m_reader.ReadNext(record)) {
        if (m_waitForKey && !record.header.IsKeyFrame())
            continue;
        if (!ToPacket(record, out))
            continue;
        m_waitForKey = false;
        return 1;
    }
    return 0;
}

bool CKvxMediaSource::SeekKeyFrame(std::int64_t timeMs)
{
    const auto index = m_index->Get();
    std::uint64_t position = 0;
    if (!index) {
        // The library's scan has not finished: bisect the file for this seek.
        position = CKvxIndexScanner::FindKeyFrame(m_path, m_startAbsMs + timeMs).value_or(0);
    } else if (!index->entries.empty()) {
        const std::int64_t wanted = index->absoluteTimes ? m_startAbsMs + timeMs : timeMs;
        auto after = std::upper_bound(
            index->entries.begin(), index->entries.end(), wanted,
            [](std::int64_t time, const CKeyFrameIndex::Entry& entry) { return time < entry.timeMs; });
        position = after == index->entries.begin() ? index->entries.front().position
                                                   : std::prev(after)->position;
    }
    m_reader.Seek(position);
    m_waitForKey = true;
    return true;
}

}  // namespace PLAY_MODULE
