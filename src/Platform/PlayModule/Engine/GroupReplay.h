#pragma once

#include "Platform/PlayModule/Engine/FrameTimeline.h"
#include "Platform/PlayModule/Source/MediaPacket.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace PLAY_MODULE {

class CStreamDecoder;

// The video packets of the first group a one-thread decoder gets, kept (as
// references) until it shows whether the stream plays faster than one
// thread decodes: frames due at once, one after another. The group then
// goes again to a decoder with more threads, so that a stream played at
// full speed need not wait for its second key frame to get them.
class CGroupReplay {
public:
    // At the group's key packet, with the timeline as it stands before it.
    void Start(const CFrameTimeline& timeline);
    bool Active() const { return m_active; }
    void Keep(const AVPacket& packet, std::int64_t timeMs, bool hasPts);
    // Counts a shown frame; true once enough came due at once in a row.
    // A frame waited for ends the replay.
    bool Shown(bool dueAtOnce);
    // The timeline as it stood before the group's key packet.
    const CFrameTimeline& Timeline() const { return m_timeline; }
    // Sends the kept packets again, calling taken after each (the decoder
    // takes no packet while a frame waits to be taken).
    void Resend(CStreamDecoder& decoder, const std::function<void()>& taken);
    // Frees the packets; no replay again until Start.
    void Stop();

private:
    struct Kept {
        AVPacketPtr packet;
        std::int64_t timeMs = 0;
        bool hasPts = true;
    };
    std::vector<Kept> m_kept;
    CFrameTimeline m_timeline;
    bool m_active = false;
    int m_dueInRow = 0;
};

}  // namespace PLAY_MODULE
