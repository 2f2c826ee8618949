#pragma once

#include "Platform/PlayModule/Source/MediaSource.h"

#include <deque>
#include <optional>
#include <string>

struct AVFormatContext;

namespace PLAY_MODULE {

// Demuxer for every container libavformat reads (.avi, .mp4, .ps, .ts ...).
class CFFmpegMediaSource : public IMediaSource {
public:
    CFFmpegMediaSource() = default;
    ~CFFmpegMediaSource() override;
    CFFmpegMediaSource(const CFFmpegMediaSource&) = delete;
    CFFmpegMediaSource& operator=(const CFFmpegMediaSource&) = delete;

    bool Open(const std::string& path);

    const AVCodecParameters* VideoParameters() const override;
    const AVCodecParameters* AudioParameters() const override;
    int ReadPacket(MediaPacket& out) override;
    bool SeekKeyFrame(std::int64_t timeMs) override;
    std::int64_t DurationMs() const override { return m_durationMs; }
    double FrameRate() const override { return m_frameRate; }
    std::int64_t OwnStartTimeMs() const override { return m_ownStartMs; }
    std::int64_t FileSize() const override { return m_fileSize; }

private:
    bool OpenInput(const std::string& path);
    void ReadStreamFacts();
    void ReadCreationTime();
    std::int64_t SoundDelayMs(const std::string& path) const;
    int ReadRaw(MediaPacket& out);
    std::optional<std::int64_t> PacketTimeMs(const AVPacket& packet, int streamIndex) const;
    std::optional<std::int64_t> StampMs(std::int64_t stamp, int streamIndex) const;
    void DropDamagedPts(AVPacket& packet, int streamIndex) const;
    bool SeekStamp(std::int64_t targetMs);
    void AttachRawBytes(MediaPacket& packet);
    bool TailBlock(MediaPacket& out);
    bool TrySeek(std::int64_t targetMs, std::int64_t wantedMs, bool acceptAny);
    void ReadOnToLastKeyFrame(std::int64_t wantedMs);

    AVFormatContext* m_format = nullptr;
    int m_videoStream = -1;
    int m_audioStream = -1;
    std::int64_t m_videoStartPts = 0;
    std::int64_t m_soundDelayMs = 0;  // taken off the sound's times
    // The time of the stream's last packet: one without a time stamp follows it.
    std::int64_t m_lastVideoMs = 0;
    std::int64_t m_lastAudioMs = 0;
    std::int64_t m_durationMs = 0;
    double m_frameRate = 25.0;
    std::int64_t m_ownStartMs = -1;
    std::int64_t m_fileSize = 0;
    std::deque<MediaPacket> m_pending;  // read after a seek, handed out first
    bool m_waitForKey = false;
    // The file's bytes are handed out in order, each block up to the start
    // of the packet it comes with (-1: restart at the next packet).
    int m_rawFile = -1;
    std::int64_t m_rawHandedTo = 0;
};

}  // namespace PLAY_MODULE
