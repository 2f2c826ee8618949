#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/PlayModule/Format/KvxFormat.h"
#include "Platform/PlayModule/Source/KeyFrameIndex.h"

namespace PLAY_MODULE {

// The key frames of a transport stream's video, read straight from its
// 188-byte packets (no demuxer, no payload copied past each picture's first
// units): a PES packet whose first picture is a key picture, at the position
// of its first transport packet. Times count from the first stamp; the end
// is the latest stamp and one frame (the shortest step between stamps).
// Scan is false on anything unexpected (lost
// sync, a damaged PES header): the demuxer's scan then serves.
class CTsKeyFrameScanner {
public:
    struct Video {
        int pid = -1;
        kvx::VideoCodec codec = kvx::VideoCodec::H264;
        int timeBaseNum = 1;  // the stream's time base
        int timeBaseDen = 90000;
        std::int64_t baseMs = 0;  // added to every time
    };

    // Fills out's entries and end time.
    static bool Scan(const std::string& path, const Video& video, CKeyFrameIndex& out,
                     const std::atomic<bool>* cancel);

private:
    CTsKeyFrameScanner(const Video& video, CKeyFrameIndex& out)
        : m_video(video), m_out(out)
    {
    }
    bool Packet(const std::uint8_t* packet, std::uint64_t position);
    bool StartPes(const std::uint8_t* payload, std::size_t size, std::uint64_t position);
    void Collect(const std::uint8_t* bytes, std::size_t size);
    void EndPes();
    std::int64_t Ms(std::int64_t ticks) const;
    std::int64_t EndMs() const;

    const Video& m_video;
    CKeyFrameIndex& m_out;
    std::int64_t m_firstTicks = INT64_MIN;
    std::int64_t m_frameTicks = INT64_MAX;  // shortest step up between stamps
    std::int64_t m_endTicks = INT64_MIN;    // latest stamp from the first
    std::int64_t m_previousTicks = 0;
    std::vector<std::uint8_t> m_head;  // first payload bytes of the open PES
    bool m_open = false;
    bool m_decided = false;
    bool m_key = false;
    std::uint64_t m_position = 0;
    std::int64_t m_ticks = 0;
    bool m_timed = false;
    std::int64_t m_lastTicks = 0;
};

}  // namespace PLAY_MODULE
