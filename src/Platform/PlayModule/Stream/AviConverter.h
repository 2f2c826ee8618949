#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Platform/PlayModule/Stream/AviFileWriter.h"
#include "Platform/PlayModule/Stream/StreamPacket.h"

namespace PLAY_MODULE {

// Writes the packets of a stream into AVI files. A file starts at a key
// frame its decoder can start at (with its parameter sets); the first
// packets are held back until the audio format is known.
// At a key frame whose format differs from the file's, or once the file has
// passed the split size, the file is completed and the name of the next one
// is asked for (without any lock held). Start and Stop may be called from
// any thread; Write and Flush come from the stream's worker.
class CAviConverter {
public:
    // Asked for the name of file number `part`; false ends the conversion.
    using NameRequest = std::function<bool(unsigned part, std::string& name)>;
    // Told, without a lock held, when a write failed and the conversion
    // ended: where the whole part of the file was kept (empty: nothing was)
    // and the video time it holds.
    using FailureReport = std::function<void(const std::string& keptPath, std::int64_t keptMs)>;
    static constexpr std::uint64_t kDefaultSplitSize = 2000ull << 20;

    explicit CAviConverter(NameRequest nameRequest);
    ~CAviConverter();

    // False when no file can be created at path.
    bool Start(const std::string& path);
    // Completes the current file; false when a file of this conversion could
    // not be written or completed, or none was begun (nothing decodable came). A name request still running is waited
    // for, so no request follows the return.
    bool Stop();
    bool IsActive() const;
    // The last Stop failed only because no picture that decodes came.
    bool FoundNothing() const;
    void SetSplitSize(std::uint64_t bytes);
    // True: every name given (to Start and by the name requests) is a new
    // empty file the caller made and holds; it is written in place and left
    // to the caller to sync and name.
    void SetWriteInPlace(bool inPlace);
    void SetFailureReport(FailureReport report);

    void Write(const StreamPacket& packet);
    // The input went idle: held-back packets are written.
    void Flush();

private:
    struct HeldPacket {
        bool video = false;
        bool key = false;
        std::int64_t timeMs = 0;
        std::vector<std::uint8_t> data;
    };
    struct Output {
        std::unique_ptr<CAviFileWriter> writer;
        std::string path;
        StreamFormat video;
        std::optional<StreamFormat> audio;
        std::vector<HeldPacket> held;
    };

    bool NeedsNextFile(const StreamPacket& packet) const;
    bool StartNextFile(std::unique_lock<std::mutex>& lock);
    void Hold(const StreamPacket& packet);
    bool WriteHeld(Output& output);
    bool OpenHeld();
    bool OpenOutput(Output& output);
    void WriteVideo(const StreamPacket& packet, std::unique_lock<std::mutex>& lock);
    void WriteAudio(const StreamPacket& packet);
    void Fail();
    void ReportFailure();

    NameRequest m_nameRequest;
    FailureReport m_failureReport;
    struct Kept {
        std::string path;
        std::int64_t ms = 0;
    };
    std::optional<Kept> m_unreported;  // a failed write's part, not yet told
    mutable std::mutex m_mutex;
    std::condition_variable m_namingDone;
    bool m_naming = false;  // a name request is running
    std::thread::id m_namingThread;
    Output m_out;
    bool m_active = false;
    bool m_failed = false;
    bool m_wroteFile = false;  // a file of this conversion was begun
    bool m_foundNothing = false;
    std::atomic<bool> m_inPlace{false};
    unsigned m_part = 1;
    std::uint64_t m_generation = 0;
    std::uint64_t m_splitSize = kDefaultSplitSize;
};

}  // namespace PLAY_MODULE
