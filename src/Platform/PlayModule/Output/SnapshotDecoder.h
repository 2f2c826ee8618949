#pragma once

#include <cstdint>
#include <functional>
#include <set>

#include "Platform/PlayModule/Output/FrameConverter.h"
#include "Platform/PlayModule/Output/PlanarPicture.h"
#include "Platform/PlayModule/Engine/StreamDecoder.h"
#include "Platform/PlayModule/Stream/StreamPacket.h"

namespace PLAY_MODULE {

// Decodes the video packets of a stream into planar 4:2:0 pictures (Y, U,
// V). Decoding starts at a key frame; a key frame of another codec or size
// opens a new decoder.
class CSnapshotDecoder {
public:
    using PictureSink = std::function<void(const PlanarPicture&)>;

    CSnapshotDecoder();
    void Decode(const StreamPacket& packet, const PictureSink& sink);
    // The input ended: the pictures still inside come out, and decoding
    // starts afresh at the next key frame.
    void Drain(const PictureSink& sink);
    // Forgets everything (a new stream).
    void Reset();

private:
    bool OpenFor(const StreamFormat& format);
    void ReceiveAll(const PictureSink& sink);
    void ForgetTimes();
    void NoteTime(std::int64_t timeMs);
    std::int64_t PictureTime(std::int64_t ownMs);

    CStreamDecoder m_decoder;
    CFrameConverter m_converter;
    StreamFormat m_format;
    AVFramePtr m_frame;
    PlanarPicture m_picture;
    bool m_waitForKey = true;
    // Packet times that never went back may be decoding times (B-frames of
    // an ".avi"): pictures then take them in rising order as they come out.
    static constexpr std::size_t kMaxPendingTimes = 64;
    bool m_presentationTimes = false;
    std::int64_t m_lastTimeMs = INT64_MIN;
    std::multiset<std::int64_t> m_pendingTimes;
};

}  // namespace PLAY_MODULE
