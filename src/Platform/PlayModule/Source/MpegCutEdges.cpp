#include "Platform/PlayModule/Source/MpegCutEdges.h"

#include <algorithm>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include "Platform/PlayModule/Format/ReadAt.h"
#include "Platform/PlayModule/Source/LeadingPictures.h"
#include "Platform/PlayModule/Source/AnnexB.h"
#include "Platform/PlayModule/Source/AnnexBFilter.h"
#include "Platform/PlayModule/Source/LocalMediaInput.h"

namespace PLAY_MODULE {

namespace {

constexpr std::size_t kPacketSize = 188;
constexpr std::size_t kPayloadSize = kPacketSize - 4;
// How far past an edge its first video PES is looked for.
constexpr std::size_t kLookAhead = 1u << 20;

bool StartCodeAt(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return at + 4 <= bytes.size() && bytes[at] == 0 && bytes[at + 1] == 0 && bytes[at + 2] == 1;
}

// Length of a program stream's pack header at `at`; 0 when there is none.
std::size_t PackHeaderSize(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    if (!StartCodeAt(bytes, at) || bytes[at + 3] != 0xBA || at + 14 > bytes.size())
        return 0;
    if ((bytes[at + 4] & 0xC0) == 0x40)
        return 14 + (bytes[at + 13] & 7);  // MPEG-2
    return 12;                             // MPEG-1
}

// Offset of a PES's payload from its start (MPEG-2 or MPEG-1 header); 0 when
// the header does not fit.
std::size_t PesHeaderSize(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t end)
{
    std::size_t i = at + 6;
    if (i < end && (bytes[i] & 0xC0) == 0x80)
        return i + 3 < end ? 9 + std::size_t(bytes[i + 2]) : 0;
    while (i < end && bytes[i] == 0xFF)
        ++i;
    if (i < end && (bytes[i] & 0xC0) == 0x40)
        i += 2;
    if (i >= end)
        return 0;
    i += (bytes[i] & 0xF0) == 0x20 ? 5 : (bytes[i] & 0xF0) == 0x30 ? 10 : 1;
    return i <= end ? i - at : 0;
}

// A unit that an access unit begins with: delimiter, parameter set, SEI or
// a key picture (the tail of a frame holds only its picture's slices).
bool BeginsAccessUnit(int type, kvx::VideoCodec codec)
{
    if (codec == kvx::VideoCodec::H264)
        return type >= 5 && type <= 9;
    return (type >= 16 && type <= 21) || (type >= 32 && type <= 35) || type == 39;
}

void PutLength(std::uint8_t* at, std::size_t length)
{
    at[0] = std::uint8_t(length >> 8);
    at[1] = std::uint8_t(length);
}

}  // namespace

CMpegCutEdges::Edges CMpegCutEdges::For(const std::string& path, std::uint64_t start, std::uint64_t end)
{
    Edges edges;
    edges.from = start;
    const Video video = VideoOf(path);
    if (video.transport && start > 0 && !video.parameterSets.empty())
        edges.head = TransportHead(path, start, video);
    if (video.transport && video.codec == kvx::VideoCodec::H265)
        edges.tail = TransportTail(path, end);
    if (video.program) {
        ProgramHead(path, start, video, edges);
        edges.tail = ProgramTail(path, end, video);
    }
    if (edges.from > end)
        return Edges{{}, start, {}};  // a cut inside one packet is taken as it is
    return edges;
}

CMpegCutEdges::Video CMpegCutEdges::VideoOf(const std::string& path)
{
    Video video;
    AVFormatContext* format = OpenLocalMediaInput(path);
    if (!format)
        return video;
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const AVCodecParameters* parameters = index >= 0 ? format->streams[index]->codecpar : nullptr;
    if (parameters && (parameters->codec_id == AV_CODEC_ID_H264 || parameters->codec_id == AV_CODEC_ID_HEVC)) {
        video.transport = std::strcmp(format->iformat->name, "mpegts") == 0;
        video.program = std::strcmp(format->iformat->name, "mpeg") == 0;
        video.pid = format->streams[index]->id;
        video.codec = parameters->codec_id == AV_CODEC_ID_HEVC ? kvx::VideoCodec::H265 : kvx::VideoCodec::H264;
        video.parameterSets = HeaderParameterSets(*parameters);
    }
    avformat_close_input(&format);
    return video;
}

std::vector<std::uint8_t> CMpegCutEdges::ReadFrom(const std::string& path, std::uint64_t position)
{
    std::vector<std::uint8_t> bytes(kLookAhead);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const ssize_t got = fd < 0 ? -1 : ReadAt(fd, bytes.data(), bytes.size(), position);
    if (fd >= 0)
        ::close(fd);
    bytes.resize(got > 0 ? std::size_t(got) : 0);
    return bytes;
}

// ---- transport streams ----

// The key frame the cut ends at and the pictures coded after it that are
// shown before it (an open group), whose packets follow the cut's.
std::vector<std::uint8_t> CMpegCutEdges::TransportTail(const std::string& path, std::uint64_t end)
{
    const std::uint64_t leadingEnd = CLeadingPictures::EndAfter(path, end);
    if (leadingEnd <= end)
        return {};
    std::vector<std::uint8_t> bytes(std::size_t(leadingEnd - end));
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const ssize_t got = fd < 0 ? -1 : ReadAt(fd, bytes.data(), bytes.size(), end);
    if (fd >= 0)
        ::close(fd);
    return got == ssize_t(bytes.size()) ? bytes : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> CMpegCutEdges::TransportHead(const std::string& path, std::uint64_t start,
                                                       const Video& video)
{
    const int count = CountWhereSetsLack(ReadFrom(path, start), video);
    return count < 0 ? std::vector<std::uint8_t>{} : TransportPackets(video, count);
}

// The continuity count of the first packet of the first PES on the video's
// PID, or -1 when that PES holds the parameter sets (or cannot be read).
int CMpegCutEdges::CountWhereSetsLack(const std::vector<std::uint8_t>& bytes, const Video& video)
{
    int count = -1;
    std::vector<std::uint8_t> head;  // the PES's payload so far
    for (std::size_t at = 0; at + kPacketSize <= bytes.size(); at += kPacketSize) {
        const std::uint8_t* packet = bytes.data() + at;
        if (packet[0] != 0x47)
            return -1;
        const bool unitStart = (packet[1] & 0x40) != 0;
        if ((((packet[1] & 0x1F) << 8) | packet[2]) != video.pid || (count < 0 && !unitStart))
            continue;
        if (count >= 0 && unitStart)
            break;  // the next PES
        const int control = (packet[3] >> 4) & 3;
        std::size_t from = (control & 2) ? 5 + std::size_t(packet[4]) : 4;
        if (!(control & 1) || from + (count < 0 ? 9 : 0) > kPacketSize)
            continue;
        if (count < 0) {
            count = packet[3] & 0x0F;
            from = std::min(kPacketSize, from + 9 + std::size_t(packet[from + 8]));
        }
        head.insert(head.end(), packet + from, packet + kPacketSize);
        if (FirstPictureIsKeyIfAny(head, video.codec).has_value())
            break;
    }
    return count < 0 || HasEveryParameterSet(head, video.codec) ? -1 : count;
}

// A PES without time stamps, stuffed into whole packets by adaptation fields.
std::vector<std::uint8_t> CMpegCutEdges::TransportPackets(const Video& video, int nextCount)
{
    std::vector<std::uint8_t> pes = {0, 0, 1, 0xE0, 0, 0, 0x80, 0, 0};
    pes.insert(pes.end(), video.parameterSets.begin(), video.parameterSets.end());
    const std::size_t packets = (pes.size() + kPayloadSize - 1) / kPayloadSize;
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < packets; ++i) {
        const std::size_t begin = i * kPayloadSize;
        const std::size_t size = std::min(kPayloadSize, pes.size() - begin);
        const int count = (nextCount - int(packets) + int(i)) & 0x0F;
        const bool stuffed = size < kPayloadSize;
        out.insert(out.end(), {0x47, std::uint8_t((i == 0 ? 0x40 : 0) | (video.pid >> 8)), std::uint8_t(video.pid),
                               std::uint8_t((stuffed ? 0x30 : 0x10) | count)});
        if (stuffed) {
            const std::size_t field = kPayloadSize - size - 1;  // the adaptation field after its length
            out.push_back(std::uint8_t(field));
            if (field > 0) {
                out.push_back(0);  // no flags
                out.insert(out.end(), field - 1, 0xFF);
            }
        }
        out.insert(out.end(), pes.begin() + std::ptrdiff_t(begin), pes.begin() + std::ptrdiff_t(begin + size));
    }
    return out;
}

// ---- program streams ----

// The first video PES from the start of the bytes, walking pack headers and
// other packets; false when the bytes are no program stream there.
bool CMpegCutEdges::FirstVideoPes(const std::vector<std::uint8_t>& bytes, Pes& pes)
{
    std::size_t at = 0;
    while (StartCodeAt(bytes, at)) {
        if (const std::size_t pack = PackHeaderSize(bytes, at)) {
            at += pack;
            continue;
        }
        if (at + 6 > bytes.size())
            return false;
        const std::size_t end = at + 6 + ((std::size_t(bytes[at + 4]) << 8) | bytes[at + 5]);
        const std::uint8_t id = bytes[at + 3];
        if (id >= 0xE0 && id <= 0xEF && end <= bytes.size()) {
            const std::size_t header = PesHeaderSize(bytes, at, end);
            pes = {at, at + header, end};
            return header > 0;
        }
        at = end;
    }
    return false;
}

std::size_t CMpegCutEdges::FrameTail(const std::vector<std::uint8_t>& bytes, const Pes& pes, kvx::VideoCodec codec)
{
    const std::span<const std::uint8_t> payload(bytes.data() + pes.payload, pes.end - pes.payload);
    for (const AnnexBUnit& unit : SplitAnnexB(payload, codec)) {
        if (!BeginsAccessUnit(unit.type, codec))
            continue;
        std::size_t at = std::size_t(unit.bytes.data() - payload.data()) - 3;  // its start code
        while (at > 0 && payload[at - 1] == 0)
            --at;
        return at;
    }
    return 0;
}

void CMpegCutEdges::ProgramHead(const std::string& path, std::uint64_t start, const Video& video, Edges& edges)
{
    const std::vector<std::uint8_t> bytes = ReadFrom(path, start);
    Pes pes;
    if (!FirstVideoPes(bytes, pes))
        return;
    const std::size_t tail = FrameTail(bytes, pes, video.codec);
    if (tail == 0)
        return;
    // The bytes up to the PES, its header with the new length, and its
    // payload from the key frame on.
    edges.head.assign(bytes.begin(), bytes.begin() + std::ptrdiff_t(pes.payload));
    PutLength(edges.head.data() + pes.at + 4, pes.end - pes.at - 6 - tail);
    edges.head.insert(edges.head.end(), bytes.begin() + std::ptrdiff_t(pes.payload + tail),
                      bytes.begin() + std::ptrdiff_t(pes.end));
    edges.from = start + pes.end;
}

std::vector<std::uint8_t> CMpegCutEdges::ProgramTail(const std::string& path, std::uint64_t end, const Video& video)
{
    const std::vector<std::uint8_t> bytes = ReadFrom(path, end);
    Pes pes;
    if (!FirstVideoPes(bytes, pes))
        return {};
    const std::size_t tail = FrameTail(bytes, pes, video.codec);
    if (tail == 0)
        return {};
    // A PES of the same stream without time stamps: the frame it ends began
    // in a PES of its own.
    const bool mpeg2 = (bytes[pes.at + 6] & 0xC0) == 0x80;
    std::vector<std::uint8_t> out = {0, 0, 1, bytes[pes.at + 3], 0, 0};
    if (mpeg2)
        out.insert(out.end(), {0x80, 0, 0});
    else
        out.push_back(0x0F);
    PutLength(out.data() + 4, out.size() - 6 + tail);
    out.insert(out.end(), bytes.begin() + std::ptrdiff_t(pes.payload), bytes.begin() + std::ptrdiff_t(pes.payload + tail));
    return out;
}

}  // namespace PLAY_MODULE
