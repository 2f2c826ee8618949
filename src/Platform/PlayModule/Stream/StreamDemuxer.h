#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "Platform/PlayModule/Stream/StreamPacket.h"

struct AVBSFContext;
struct AVStream;
struct AVFormatContext;
struct AVIOContext;
struct AVPacket;

namespace PLAY_MODULE {

// Demuxes a container (".avi", ".mp4", ".ps", ".ts" ...) that arrives as a
// stream, through libavformat with a custom AVIOContext. The bytes are kept
// so that the demuxer may seek back (up to kHistoryLimit bytes); reads past
// what arrived wait for more input.
class CStreamDemuxer {
public:
    // Appends the next bytes of input to chunk; false when the input ended.
    using Pull = std::function<bool(std::vector<std::uint8_t>& chunk)>;
    using PacketSink = std::function<void(const StreamPacket&)>;
    static constexpr std::size_t kHistoryLimit = 256u << 20;

    explicit CStreamDemuxer(Pull pull);
    ~CStreamDemuxer();
    CStreamDemuxer(const CStreamDemuxer&) = delete;
    CStreamDemuxer& operator=(const CStreamDemuxer&) = delete;

    // Demuxes head and then everything pulled until the input ends. False
    // when the bytes were not recognised as a container.
    bool Run(std::vector<std::uint8_t> head, const PacketSink& sink);
    // True once the pull reported the end of the input.
    bool InputEnded() const { return m_ended; }
    // The bytes kept after Run (what a failed open read).
    std::vector<std::uint8_t>& History() { return m_history; }

private:
    static int ReadCallback(void* opaque, std::uint8_t* buffer, int size);
    static std::int64_t SeekCallback(void* opaque, std::int64_t offset, int whence);
    int Read(std::uint8_t* buffer, int size);
    std::int64_t Seek(std::int64_t offset, int whence);
    bool FillTo(std::uint64_t end);
    bool OpenInput();
    void ChooseStreams();
    void Close();
    bool OpenAnnexBFilter(const AVStream& stream);
    void Deliver(AVPacket* packet, const PacketSink& sink);
    void Emit(const AVPacket& packet, const PacketSink& sink);

    Pull m_pull;
    std::vector<std::uint8_t> m_history;
    std::vector<std::uint8_t> m_chunk;
    std::uint64_t m_historyBase = 0;
    std::uint64_t m_position = 0;
    bool m_ended = false;
    AVIOContext* m_io = nullptr;
    AVFormatContext* m_format = nullptr;
    int m_videoIndex = -1;
    std::int64_t m_timeBaseMs = 0;  // added to a stream time in ms
    int m_audioIndex = -1;
    StreamFormat m_videoFormat;
    StreamFormat m_audioFormat;
    AVBSFContext* m_annexB = nullptr;  // length-prefixed H.264/H.265 to start codes
};

}  // namespace PLAY_MODULE
