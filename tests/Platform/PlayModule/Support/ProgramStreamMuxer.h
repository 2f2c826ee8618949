#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "Platform/PlayModule/Format/KvxFormat.h"

namespace PLAY_MODULE_TEST {

// Writes an MPEG program stream with a stream map, as recorders do: a pack
// header before every frame, the system header and the map before each
// key frame, the frame in PES packets with its PTS.
class CProgramStreamMuxer {
public:
    ~CProgramStreamMuxer();
    bool Open(const std::string& path, PLAY_MODULE::kvx::VideoCodec codec);
    // pts in 90 kHz units; a negative one: the frame's PES carry no stamps.
    bool WriteFrame(std::span<const std::uint8_t> accessUnit, std::int64_t pts, bool key)
    {
        return WriteFrame(accessUnit, pts, pts, key);
    }
    // With a decoding time of its own (B-frames), the PES carries both.
    bool WriteFrame(std::span<const std::uint8_t> accessUnit, std::int64_t pts, std::int64_t dts,
                    bool key);
    bool Close();

private:
    void PutPackHeader(std::int64_t scr);
    void PutSystemHeader();
    void PutStreamMap();
    void PutPes(std::span<const std::uint8_t> payload, std::int64_t pts, std::int64_t dts,
                bool withStamps);
    void PutStamp(std::uint8_t prefix, std::int64_t value);
    void Put(std::initializer_list<std::uint8_t> bytes);

    std::FILE* m_file = nullptr;
    PLAY_MODULE::kvx::VideoCodec m_codec = PLAY_MODULE::kvx::VideoCodec::H264;
    bool m_failed = false;
};

}  // namespace PLAY_MODULE_TEST
