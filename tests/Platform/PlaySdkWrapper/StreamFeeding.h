#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "KvxWriter/SyntheticRecording.h"
#include "Platform/PlayModule/Format/KvxRecord.h"
#include "Platform/PlayModule/Stream/PlaySdkWrapper.h"

namespace STREAM_TEST {

// The short recording most stream tests use: 6 s of 160x120, a key frame
// every 2 s.
KVX_WRITER::SyntheticOptions ShortRecordingOptions();

// Feeds bytes in blocks, offering a refused block again as the callers do;
// false when a block stays refused for `patience`.
bool Feed(PLAY_MODULE::CPlaySdkWrapper& player, std::span<const std::uint8_t> bytes,
          std::size_t blockSize, std::chrono::milliseconds patience = std::chrono::seconds(20));
// Waits until GetBufferValue(3) + GetSourceBufferRemain() reads 0.
bool Drain(PLAY_MODULE::CPlaySdkWrapper& player,
           std::chrono::milliseconds patience = std::chrono::seconds(20));

// The bytes of records as a ".kvx" file holds them.
std::vector<std::uint8_t> Serialize(const std::vector<PLAY_MODULE::KvxRecord>& records);
std::vector<PLAY_MODULE::KvxRecord> Records(std::span<const std::uint8_t> bytes);
int CountVideo(const std::vector<PLAY_MODULE::KvxRecord>& records);

// Video packets of a file by libavformat; -1 when it does not open.
// audioPackets: the non-empty packets of its audio stream.
int CountVideoPackets(const std::string& path, std::string* codec = nullptr, bool* hasAudio = nullptr,
                      int* audioPackets = nullptr);

struct Report {
    std::string text;
    long time = 0;
    long kind = 0;
    long result = 0;
};

class CReportCollector : public PLAY_MODULE::IWatermarkCheckListener {
public:
    void OnWatermarkCheckInfo(PLAY_MODULE::CPlaySdkWrapper* sender, const char* data, long time,
                              long kind, long reserved1, long reserved2, long result) override;
    std::vector<Report> Reports() const;
    std::vector<Report> Errors() const;
    PLAY_MODULE::CPlaySdkWrapper* sender = nullptr;

private:
    mutable std::mutex m_mutex;
    std::vector<Report> m_reports;
};

}  // namespace STREAM_TEST
