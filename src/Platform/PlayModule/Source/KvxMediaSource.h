#pragma once

#include "Platform/PlayModule/Format/KvxFileReader.h"
#include "Platform/PlayModule/Format/KvxFormat.h"
#include "Platform/PlayModule/Source/MediaSource.h"
#include "Platform/PlayModule/Source/SharedKeyFrameIndex.h"

#include <memory>
#include <string>

namespace PLAY_MODULE {

struct KvxRecord;
struct KvxRecordHeader;

// Demuxer for our ".kvx" recordings: video records become Annex B packets
// (parameter sets in band), audio, overlay, watermark and signature records
// are handed on as they are.
class CKvxMediaSource : public IMediaSource {
public:
    explicit CKvxMediaSource(std::shared_ptr<CSharedKeyFrameIndex> index);
    ~CKvxMediaSource() override;
    CKvxMediaSource(const CKvxMediaSource&) = delete;
    CKvxMediaSource& operator=(const CKvxMediaSource&) = delete;

    bool Open(const std::string& path);

    const AVCodecParameters* VideoParameters() const override { return m_video; }
    const AVCodecParameters* AudioParameters() const override { return m_audio; }
    int ReadPacket(MediaPacket& out) override;
    bool SeekKeyFrame(std::int64_t timeMs) override;
    std::int64_t DurationMs() const override { return m_endAbsMs - m_startAbsMs; }
    double FrameRate() const override { return m_frameRate; }
    std::int64_t OwnStartTimeMs() const override { return m_startAbsMs; }
    std::int64_t FileSize() const override;
    std::int64_t DataEnd() override;

private:
    bool ReadHead();
    void ReadLateSoundFacts();
    bool HeadKnown(const KvxRecordHeader& last) const;
    void ReadEndTime();
    void ReadEndTimeBefore(std::uint64_t end);
    void ReadEndTimeFromTail(std::uint64_t size);
    // What the records read held.
    enum class Probe { Pictures, NoPictures, NoRecord };
    // Latest video time from `from` to the end.
    Probe ReadLatestVideoTime(std::uint64_t from);
    bool ReadLatestVideoTimeByHeaders(std::uint64_t from);
    void SearchLastPictures(std::uint64_t end);
    bool PicturesFrom(std::uint64_t from);
    std::uint64_t ProbeBytes() const;
    // As ReadLatestVideoTime, reading bytes from `from` at most.
    Probe ProbeLatestVideoTime(std::uint64_t from, std::uint64_t bytes);
    void TakeAudioFacts(const KvxRecord& record);
    bool ToPacket(KvxRecord& record, MediaPacket& out);

    std::string m_path;
    CKvxFileReader m_reader;
    std::shared_ptr<CSharedKeyFrameIndex> m_index;
    AVCodecParameters* m_video = nullptr;
    AVCodecParameters* m_audio = nullptr;
    std::int64_t m_startAbsMs = 0;
    std::int64_t m_endAbsMs = 0;
    double m_frameRate = 25.0;
    bool m_waitForKey = true;
    bool m_endHasSound = false;  // the records read for the end time hold sound
    std::uint64_t m_largestRecord = 0;  // bytes of the largest record read
    std::uint64_t m_endFrom = 0;        // where the read that found the latest picture began
    std::uint64_t m_searchEnd = 0;      // the end time is searched before this position
};

}  // namespace PLAY_MODULE
