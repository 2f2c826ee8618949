#include "StreamFeeding.h"

#include <thread>

#include "Platform/PlayModule/Format/KvxRecordParser.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

using namespace PLAY_MODULE;

namespace STREAM_TEST {

KVX_WRITER::SyntheticOptions ShortRecordingOptions()
{
    KVX_WRITER::SyntheticOptions options;
    options.seconds = 6;
    options.width = 160;
    options.height = 120;
    options.gopSeconds = 2;
    return options;
}

bool Feed(CPlaySdkWrapper& player, std::span<const std::uint8_t> bytes, std::size_t blockSize,
          std::chrono::milliseconds patience)
{
    std::vector<std::uint8_t> block;
    for (std::size_t at = 0; at < bytes.size(); at += blockSize) {
        const auto part = bytes.subspan(at, std::min(blockSize, bytes.size() - at));
        block.assign(part.begin(), part.end());
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!player.InputData(block.data(), block.size())) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return true;
}

bool Drain(CPlaySdkWrapper& player, std::chrono::milliseconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (player.GetBufferValue(3) + player.GetSourceBufferRemain() != 0) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::vector<std::uint8_t> Serialize(const std::vector<KvxRecord>& records)
{
    std::vector<std::uint8_t> bytes;
    for (const KvxRecord& record : records) {
        std::uint8_t header[kvx::kHeaderSize];
        record.header.Encode(header);
        bytes.insert(bytes.end(), header, header + kvx::kHeaderSize);
        bytes.insert(bytes.end(), record.payload.begin(), record.payload.end());
    }
    return bytes;
}

std::vector<KvxRecord> Records(std::span<const std::uint8_t> bytes)
{
    CKvxRecordParser parser;
    parser.Feed(bytes);
    std::vector<KvxRecord> records;
    KvxRecord record;
    while (parser.Next(record) == CKvxRecordParser::Status::Record)
        records.push_back(record);
    return records;
}

int CountVideo(const std::vector<KvxRecord>& records)
{
    int count = 0;
    for (const KvxRecord& record : records)
        count += record.header.kind == kvx::RecordKind::Video ? 1 : 0;
    return count;
}

int CountVideoPackets(const std::string& path, std::string* codec, bool* hasAudio, int* audioPackets)
{
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return -1;
    if (avformat_find_stream_info(format, nullptr) < 0) {
        avformat_close_input(&format);
        return -1;
    }
    const int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (codec && video >= 0)
        *codec = avcodec_get_name(format->streams[video]->codecpar->codec_id);
    const int audio = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (hasAudio)
        *hasAudio = audio >= 0;
    int count = 0;
    int audioCount = 0;
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(format, packet) >= 0) {
        count += packet->stream_index == video ? 1 : 0;
        audioCount += packet->stream_index == audio && packet->size > 0 ? 1 : 0;
        av_packet_unref(packet);
    }
    if (audioPackets)
        *audioPackets = audioCount;
    av_packet_free(&packet);
    avformat_close_input(&format);
    return video >= 0 ? count : -1;
}

void CReportCollector::OnWatermarkCheckInfo(CPlaySdkWrapper* from, const char* data, long time,
                                            long kind, long, long, long result)
{
    std::lock_guard lock(m_mutex);
    sender = from;
    m_reports.push_back({data ? data : "", time, kind, result});
}

std::vector<Report> CReportCollector::Reports() const
{
    std::lock_guard lock(m_mutex);
    return m_reports;
}

std::vector<Report> CReportCollector::Errors() const
{
    std::vector<Report> errors;
    for (const Report& report : Reports())
        if (report.result != kWatermarkResultOk)
            errors.push_back(report);
    return errors;
}

}  // namespace STREAM_TEST
