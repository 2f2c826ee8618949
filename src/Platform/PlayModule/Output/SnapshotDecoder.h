#pragma once

#include <functional>

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

    CStreamDecoder m_decoder;
    CFrameConverter m_converter;
    StreamFormat m_format;
    AVFramePtr m_frame;
    PlanarPicture m_picture;
    bool m_waitForKey = true;
};

}  // namespace PLAY_MODULE
