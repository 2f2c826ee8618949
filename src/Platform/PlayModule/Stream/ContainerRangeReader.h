#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Platform/PlayModule/Format/KvxFormat.h"
#include "Platform/PlayModule/Format/KvxRecordEncoder.h"

struct AVBSFContext;
struct AVCodecParameters;
struct AVFormatContext;
struct AVPacket;

namespace PLAY_MODULE {

// Reads the packets of a byte range of a container recording (".avi",
// ".mp4", ".ps", ".ts"), from a key frame's position up to the next one's,
// and hands them on as ".kvx" records, timed on the recording's wall clock
// as the play module times it. The stream player takes them as it takes a
// range of a ".kvx" recording: a range of a container has no header of its
// own. H.264/H.265 video; AAC and G.711 sound (other sound is left out).
class CContainerRangeReader {
public:
    CContainerRangeReader() = default;
    ~CContainerRangeReader();
    CContainerRangeReader(const CContainerRangeReader&) = delete;
    CContainerRangeReader& operator=(const CContainerRangeReader&) = delete;

    // Whether Open can take a range of this file.
    static bool Reads(const std::string& path);

    // fileStartMs: wall-clock time (ms since 1970) of the recording's first
    // frame, for containers that carry no creation time. False when the
    // file is no container of a video this reader can hand on.
    bool Open(const std::string& path, std::uint64_t start, std::uint64_t end, std::int64_t fileStartMs);
    void Close();
    // Copies up to size bytes of records; 0 once the range is read.
    std::size_t Read(std::uint8_t* out, std::size_t size);
    // Bytes of the range read so far (the whole range once Read gave 0).
    std::uint64_t Consumed() const { return m_consumed; }
    // Whether a picture of the range timed in [fromMs, toMs) decodes: it
    // follows a key frame with parameter sets (its own or earlier ones)
    // without a gap in the video. Reads the range on only until one is
    // found; Read then has nothing more to give.
    bool PlaysBetween(std::int64_t fromMs, std::int64_t toMs);

private:
    static bool TakesVideo(const AVCodecParameters& video);
    // The range's next video packet (unreferenced by the caller); false at its end.
    bool NextVideoPacket();
    bool ToAnnexB(AVPacket& packet);
    bool SeekToStart();
    // Turns the next packet of the range into records; false at its end.
    bool ReadPacket();
    void AddVideo(AVPacket& packet, std::int64_t timeMs);
    void AddAudio(const AVPacket& packet, std::int64_t timeMs);
    std::int64_t TimeOf(const AVPacket& packet) const;
    std::int64_t StampTime(std::int64_t stamp, int stream) const;
    std::int64_t VideoTimeOf(const AVPacket& packet);
    void SetAudioFormat();

    AVFormatContext* m_format = nullptr;
    AVBSFContext* m_annexB = nullptr;
    AVPacket* m_packet = nullptr;
    int m_video = -1;
    int m_audio = -1;
    kvx::VideoCodec m_codec = kvx::VideoCodec::H264;
    std::uint32_t m_frameRateMilli = 25000;
    std::int64_t m_baseMs = 0;  // wall-clock time of the video's first time
    std::int64_t m_videoStartMs = 0;
    std::int64_t m_lastVideoMs = INT64_MIN;  // time of the last video packet read
    std::int64_t m_reorderMs = INT64_MIN;    // presentation less decoding time; MIN: not known yet
    bool m_haveAudio = false;
    kvx::AudioCodec m_audioCodec = kvx::AudioCodec::AacAdts;
    std::vector<std::uint8_t> m_parameterSets;  // the video's last complete ones, as start-code units
    std::vector<std::uint8_t> m_adts;  // header template for raw AAC; empty: the frames carry one
    std::uint64_t m_start = 0;
    std::uint64_t m_end = 0;
    std::uint64_t m_consumed = 0;
    bool m_ended = false;
    CKvxRecordEncoder m_encoder;
    std::vector<std::uint8_t> m_pending;
    std::size_t m_pendingAt = 0;
};

}  // namespace PLAY_MODULE
