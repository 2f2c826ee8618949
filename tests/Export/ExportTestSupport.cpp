#include "Export/ExportTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>

extern "C" {
#include <libavformat/avformat.h>
}

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/WorkerLoops.h"
#include "KvxWriter/RecordingName.h"
#include "KvxWriter/TestRecorderKey.h"
#include "Platform/PlayModule/Format/KvxChainVerifier.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Format/KvxRecordParser.h"
#include "Support/ProcessUntil.h"

using namespace LumivexBase;

namespace EXPORT_TEST {

void StartLoops()
{
    RegisterGuiLoop();
    StartWorkerLoop(ML_EXPORT);
    StartWorkerLoop(ML_PLAY);
}

void StopLoops()
{
    CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
}

void Settle(int loopId);

bool WaitForEnd(const CListenerDouble& listener, int ms)
{
    if (!ProcessUntil([&] { return listener.Finished(); }, ms))
        return false;
    Settle(ML_EXPORT);
    return true;
}

namespace {
struct Marker {
    void Run() { done = true; }
    std::atomic<bool> done{false};
};
}  // namespace

void Settle(int loopId)
{
    auto marker = boost::make_shared<Marker>();
    SF_POST_TASK(loopId, &Marker::Run, marker);
    ProcessUntil([&] { return marker->done.load(); });
    auto guiMarker = boost::make_shared<Marker>();
    SF_POST_TASK(ML_MAIN, &Marker::Run, guiMarker);
    ProcessUntil([&] { return guiMarker->done.load(); });
}

KVX_WRITER::SyntheticOptions SmallOptions(double seconds)
{
    KVX_WRITER::SyntheticOptions options;
    options.seconds = seconds;
    options.width = 160;
    options.height = 120;
    options.gopSeconds = 2;
    options.bitrateKbps = 256;
    options.signer = KVX_WRITER::TestRecorderSigner();
    return options;
}

std::string MakeRecording(const std::string& folder, KVX_WRITER::SyntheticOptions options,
                          const std::string& recorder, int channel, int stream)
{
    const auto endMs = options.startUtcMs + std::int64_t(options.seconds * 1000);
    const std::string path =
        folder + "/" + KVX_WRITER::RecordingFileName(recorder, channel, stream, options.startUtcMs, endMs);
    return KVX_WRITER::WriteSyntheticRecording(options, path) ? path : std::string();
}

ClipCheck CheckClip(const std::string& path)
{
    ClipCheck check;
    const std::string bytes = ReadBytes(path);
    check.recordsEnd = bytes.size();
    std::optional<PLAY_MODULE::CKvxIndexFooter::Contents> footer;
    if (const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC); fd >= 0) {
        footer = PLAY_MODULE::CKvxIndexFooter::ReadFrom(fd, bytes.size());
        check.footer = footer.has_value();
        check.recordsEnd = footer ? std::size_t(footer->trailer.tableOffset) : bytes.size();
        ::close(fd);
    }
    PLAY_MODULE::CKvxRecordParser parser;
    parser.Feed({reinterpret_cast<const std::uint8_t*>(bytes.data()), check.recordsEnd});
    PLAY_MODULE::CKvxChainVerifier verifier;
    PLAY_MODULE::CKvxIndexFooter noted;
    PLAY_MODULE::KvxRecord record;
    using Result = PLAY_MODULE::CKvxChainVerifier::Result;
    while (parser.Next(record) == PLAY_MODULE::CKvxRecordParser::Status::Record) {
        noted.Note(record.header, record.offset);
        ++check.records;
        check.keyFrames += record.header.IsKeyFrame() ? 1 : 0;
        const Result result = verifier.Check(record);
        check.errors += result == Result::Ok || result == Result::SignatureValid ? 0 : 1;
        check.endsSigned = result == Result::SignatureValid;
    }
    check.errors += parser.SkippedBytes() > 0 || parser.PendingBytes() > 0 ? 1 : 0;
    check.footerNamesRecords = footer && noted.Describes(*footer);
    return check;
}

namespace {

// Zeroes a packet's bytes where they stand in the file: at its position or
// just after a chunk header there.
void ZeroPacketBytes(std::string& bytes, const AVPacket& packet)
{
    const auto size = std::size_t(packet.size);
    for (std::size_t at : {std::size_t(packet.pos), std::size_t(packet.pos) + 8}) {
        if (packet.pos >= 0 && at + size <= bytes.size() && bytes.compare(at, size, (const char*)packet.data, size) == 0) {
            std::fill_n(bytes.begin() + std::ptrdiff_t(at), size, '\0');
            return;
        }
    }
}

}  // namespace

bool ZeroVideoPayloads(const std::string& path, double fromSeconds, double toSeconds)
{
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return false;
    std::string bytes = ReadBytes(path);
    const int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    std::int64_t first = AV_NOPTS_VALUE;
    AVPacket* packet = av_packet_alloc();
    while (video >= 0 && av_read_frame(format, packet) >= 0) {
        const std::int64_t stamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if (packet->stream_index == video && stamp != AV_NOPTS_VALUE) {
            first = first == AV_NOPTS_VALUE ? stamp : std::min(first, stamp);
            const double at = double(stamp - first) * av_q2d(format->streams[video]->time_base);
            if (at >= fromSeconds && at < toSeconds)
                ZeroPacketBytes(bytes, *packet);
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
    return video >= 0;
}

int CountVideoPackets(const std::string& path, double* seconds)
{
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return -1;
    if (avformat_find_stream_info(format, nullptr) < 0) {
        avformat_close_input(&format);
        return -1;
    }
    const int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    int count = 0;
    std::int64_t first = AV_NOPTS_VALUE;
    std::int64_t last = AV_NOPTS_VALUE;
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == video) {
            ++count;
            const std::int64_t stamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            if (first == AV_NOPTS_VALUE)
                first = stamp;
            last = stamp;
        }
        av_packet_unref(packet);
    }
    if (seconds && video >= 0 && first != AV_NOPTS_VALUE)
        *seconds = double(last - first + 1) * av_q2d(format->streams[video]->time_base);
    av_packet_free(&packet);
    avformat_close_input(&format);
    return video >= 0 ? count : -1;
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace EXPORT_TEST
