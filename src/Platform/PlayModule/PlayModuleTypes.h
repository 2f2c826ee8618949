#pragma once

#include <cstddef>
#include <cstdint>

namespace PLAY_MODULE {

// How decoded frames are handed to the listener (process-wide).
// 1: planar 4:2:0 laid out Y, U, V; 2: planar 4:2:0 laid out Y, V, U.
enum PM_RENDER_TYPE : int {
    PM_RENDER_NONE = 0,
    PM_RENDER_DDRAW = 1,
    PM_RENDER_QT = 2,
};

enum PM_IMAGE_TYPE : int {
    PM_IMAGE_BMP = 0,
    PM_IMAGE_JPEG = 1,
};

// A key frame's place in a recording. Callers read the 64-bit position,
// the first field (files pass 2 GB).
struct FRAME_POS {
    std::int64_t nFilePos = 0;       // byte position of the key frame
    std::uint32_t nFrameTime = 0;    // absolute time, seconds since 1970
    std::uint32_t nReserved = 0;
    std::int64_t nFrameTimeMs = 0;   // absolute time in milliseconds
};
static_assert(offsetof(FRAME_POS, nFilePos) == 0 && sizeof(FRAME_POS::nFilePos) == 8);

struct MEDIA_INFO {
    std::int32_t nWidth = 0;
    std::int32_t nHeight = 0;
    std::int32_t nFrameRate = 0;     // frames per second, rounded
    std::int32_t nVideoCodec = 0;    // FFmpeg codec id
    std::int32_t nAudioCodec = 0;    // FFmpeg codec id, 0 without audio
    std::int32_t nAudioSampleRate = 0;
    std::int32_t nAudioChannels = 0;
    std::uint32_t nDurationMs = 0;
};

// Frame kinds in PM_FRAME_INFO::nType.
enum PM_FRAME_KIND : std::int32_t {
    PM_FRAME_VIDEO_DATA = 1,
    PM_FRAME_AUDIO_DATA = 2,
    PM_FRAME_VIDEO_SHOWN = 3,
    PM_FRAME_OVERLAY_DATA = 4,
    PM_FRAME_OTHER_DATA = 5,
};

// Frame information given with stream data and shown frames.
struct PM_FRAME_INFO {
    std::int32_t nWidth = 0;         // 0
    std::int32_t nHeight = 0;        // 1
    std::int32_t nFrameRate = 0;     // 2
    std::int32_t nType = 0;          // 3, PM_FRAME_KIND
    std::int32_t nKeyFrame = 0;      // 4
    std::int32_t nStampMs = 0;       // 5, milliseconds from the file's start
    std::int32_t nDataSize = 0;      // 6
    std::int32_t nYear = 0;          // 7..12: local date and time of the frame
    std::int32_t nMonth = 0;
    std::int32_t nDay = 0;
    std::int32_t nHour = 0;
    std::int32_t nMinute = 0;
    std::int32_t nSecond = 0;
    std::int32_t nMillisecond = 0;   // 13
    std::int32_t nReserved[2] = {};
};

// Calendar time record (local): year, month, day, hour, minute, second.
struct __DATETIME_INFO {
    std::int32_t nYear = 0;
    std::int32_t nMonth = 0;
    std::int32_t nDay = 0;
    std::int32_t nHour = 0;
    std::int32_t nMinute = 0;
    std::int32_t nSecond = 0;
    std::int32_t nMillisecond = 0;
};

}  // namespace PLAY_MODULE
