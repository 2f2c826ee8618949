#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Base/HeldTemporary.h"
#include "Platform/PlayModule/Stream/FirstPictureProbe.h"
#include "Platform/PlayModule/Stream/StreamPacket.h"

extern "C" {
#include <libavutil/rational.h>
}

struct AVFormatContext;
struct AVStream;

namespace PLAY_MODULE {

// One AVI file written by libavformat's muxer from coded packets (a stream
// copy). The file is written under a temporary name in the same folder and
// renamed into place when it is complete; one whose writing failed (a full
// disk) is cut after its last whole packet and put in place unfinished, as
// the part of a clip that was kept. Written in place, the file at the path
// is the caller's (new, empty and held by it): it is written there and left
// there, so it never changes hands before the caller names it.
class CAviFileWriter {
public:
    CAviFileWriter() = default;
    ~CAviFileWriter();
    CAviFileWriter(const CAviFileWriter&) = delete;
    CAviFileWriter& operator=(const CAviFileWriter&) = delete;

    // audio may be null; an audio format the muxer refuses is left out.
    bool Open(const std::string& path, const StreamFormat& video, const StreamFormat* audio, bool inPlace = false);
    // False once a write failed (the file can no longer be completed).
    bool Write(const StreamPacket& packet);
    // Writes the index and renames the file into place (written in place, it
    // stays where it is, unsynced); false when the file
    // could not be completed: its whole packets are then kept in place
    // without an index (KeptMs > 0), or, with none, it is removed.
    bool Close();
    // Video time the whole packets of a file that failed hold.
    std::int64_t KeptMs() const { return m_keptMs; }

    bool HasAudio() const { return m_audio != nullptr; }
    std::uint64_t BytesWritten() const;
    std::int64_t VideoFrames() const { return m_videoFrames; }

private:
    bool OpenMuxer(const StreamFormat& video, const StreamFormat* audio);
    AVStream* AddStream(const StreamFormat& format);
    bool WriteTo(AVStream* stream, std::int64_t pts, std::int64_t duration, const StreamPacket& packet);
    std::int64_t SamplesIn(const StreamPacket& packet) const;
    void WriteAudio(const StreamPacket& packet);
    bool AlignAudio(StreamPacket& packet);
    void WriteSilence(const StreamPacket& like, std::int64_t count);
    void Abort();
    const std::string& WrittenPath() const { return m_inPlace ? m_path : m_temporary.Path(); }
    // Puts the whole packets of a failed file in place; false when none.
    bool KeepWhole(const std::string& temporary);
    void NoteWhole();
    void PlaceSound();
    void WriteAligned(const StreamPacket& packet);

    AVFormatContext* m_context = nullptr;
    AVStream* m_video = nullptr;
    AVStream* m_audio = nullptr;
    AVRational m_videoTimeBase{1, 25};
    AVRational m_audioTimeBase{1, 8000};
    std::int64_t m_videoFrames = 0;
    std::int64_t m_audioSamples = 0;
    // Source time of the file's first sound: where its first picture shows.
    std::int64_t m_soundStartMs = 0;
    std::unique_ptr<CFirstPictureProbe> m_probe;
    struct HeldAudio {
        bool key = false;
        std::int64_t timeMs = 0;
        std::vector<std::uint8_t> data;
    };
    std::vector<HeldAudio> m_heldAudio;  // until the sound's start is known
    StreamFormat m_audioFormat;
    bool m_audioAligned = false;      // the sound start is lined up with it
    int m_audioChannels = 1;
    bool m_failed = false;
    bool m_inPlace = false;
    std::string m_path;
    SF_SOFT_BASE::CHeldTemporary m_temporary;
    // (end of a whole packet in the file, video frames up to it)
    std::vector<std::pair<std::int64_t, std::int64_t>> m_wholeEnds;
    std::int64_t m_keptMs = 0;
};

}  // namespace PLAY_MODULE
