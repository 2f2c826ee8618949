#pragma once

#include "Platform/PlayModule/Format/KvxFileWriter.h"
#include "Platform/PlayModule/Format/KvxFormat.h"
#include "Platform/PlayModule/Engine/StreamTap.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct AVBSFContext;
struct AVCodecParameters;

namespace PLAY_MODULE {

// Writes the played stream, from the next key frame on, as a ".kvx" file.
// Records of a ".kvx" source are copied as they are, so the copy keeps its
// watermark; the unsigned records after the last signature are left out
// (unless nothing was signed at all). Packets of other containers are
// written as new, unsigned records.
class CDataRecorder : public IStreamTap {
public:
    // A recording that failed: where its part was kept, the part's bytes and
    // time span (0 bytes and no path: nothing was kept, the file is gone).
    using FailureReport = std::function<void(const std::string& path, std::uint64_t keptBytes, std::int64_t keptMs)>;

    CDataRecorder() = default;
    ~CDataRecorder() override;
    CDataRecorder(const CDataRecorder&) = delete;
    CDataRecorder& operator=(const CDataRecorder&) = delete;

    // video/audio: the source's parameters; startAbsMs: absolute time of
    // the file's time 0.
    bool Start(const std::string& path, const AVCodecParameters* video,
               const AVCodecParameters* audio, double frameRate, std::int64_t startAbsMs);
    // Called once, without a lock held, when the recording fails: at the
    // failed write (the whole groups before it are kept and the recording
    // ends) or at the stop.
    void SetFailureReport(FailureReport report) { m_report = std::move(report); }
    // False when the file could not be completed.
    bool Stop();
    void OnPacket(const MediaPacket& packet) override;

private:
    void CopyRecord(const MediaPacket& packet);
    void WriteVideo(const MediaPacket& packet);
    void WriteAudio(const MediaPacket& packet);
    bool OpenAnnexBFilter(const AVCodecParameters* video);
    bool FlushPending();
    // Ends a failed recording with what it kept; the report to make.
    std::function<void()> EndFailed();

    FailureReport m_report;
    std::mutex m_mutex;
    CKvxFileWriter m_writer;
    bool m_started = false;
    bool m_signedAny = false;
    bool m_failed = false;
    std::vector<std::uint8_t> m_pending;
    AVBSFContext* m_annexB = nullptr;
    kvx::VideoCodec m_codec = kvx::VideoCodec::H264;
    int m_audioCodec = -1;
    int m_width = 0;
    int m_height = 0;
    int m_sampleRate = 8000;
    int m_channels = 1;
    double m_frameRate = 25.0;
    std::int64_t m_startAbsMs = 0;
};

}  // namespace PLAY_MODULE
