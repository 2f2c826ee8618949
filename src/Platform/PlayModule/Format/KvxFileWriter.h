#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "Platform/PlayModule/Format/BackgroundFileSink.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Format/KvxRecordEncoder.h"

namespace PLAY_MODULE {

// Writes a ".kvx" recording (the file writes run on a background thread). While it is written the file is named
// "<path>_" (".kvx_" for a ".kvx" path); Close adds the closing signature
// and the key-frame footer, and renames it into place.
class CKvxFileWriter {
public:
    explicit CKvxFileWriter(std::shared_ptr<const CKvxSigner> signer = nullptr);
    ~CKvxFileWriter();
    CKvxFileWriter(const CKvxFileWriter&) = delete;
    CKvxFileWriter& operator=(const CKvxFileWriter&) = delete;

    bool Open(const std::string& path);
    bool WriteVideo(const KvxVideoFrame& frame);
    bool WriteAudio(const KvxAudioPayload& audio, std::int64_t timeMs);
    bool WriteOverlay(kvx::RecordKind kind, std::int64_t timeMs, std::span<const std::uint8_t> payload);
    bool WriteWatermark(std::int64_t timeMs, const std::string& utf8Text);
    // Bytes that already are whole records (copied from another recording).
    bool WriteRaw(std::span<const std::uint8_t> bytes);
    // Finishes the file; false when any write failed (the partial file is
    // then left under its "_" name).
    bool Close();
    // Drops the file being written.
    void Abort();

    bool IsOpen() const { return m_fd >= 0; }
    // Why the file failed: an errno value, 0 when unknown or none.
    int Error() const { return m_error; }
    const std::string& WorkingPath() const { return m_workingPath; }
    std::uint64_t BytesWritten() const { return m_written + m_buffer.size(); }

private:
    // False (and the file failed) for a record no reader would take.
    bool Admits(std::size_t payloadSize, std::int64_t timeMs);
    bool FlushIfFull();
    // Notes the records added to the buffer from before, then flushes when full.
    bool Added(std::size_t before);
    bool Flush();
    void Failed(int error);

    CKvxRecordEncoder m_encoder;
    CKvxIndexFooter m_footer;
    int m_fd = -1;
    std::unique_ptr<CBackgroundFileSink> m_sink;
    bool m_failed = false;
    int m_error = 0;
    std::string m_path;
    std::string m_workingPath;
    std::vector<std::uint8_t> m_buffer;
    std::uint64_t m_written = 0;
    std::int64_t m_lastTimeMs = 0;
};

}  // namespace PLAY_MODULE
