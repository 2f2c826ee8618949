#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "Platform/PlayModule/Format/BackgroundFileSink.h"
#include "Platform/PlayModule/Format/KvxIndexFooter.h"
#include "Platform/PlayModule/Format/KvxRecordEncoder.h"

namespace PLAY_MODULE {

// Writes a ".kvx" recording (the file writes run on a background thread). While it is written the file is named
// "<path>_" (".kvx_" for a ".kvx" path); each group of pictures is written
// as soon as it closes, so a crash loses at most the group in progress.
// Close adds the closing signature and the key-frame footer, syncs the file
// and renames it into place.
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
    // Finishes the file; false when any write failed (the whole records
    // written before the failure are then left under the "_" name).
    bool Close();
    // After a failure: keeps the whole records written before it under the
    // file's own name (synced; under the "_" name when it cannot be
    // renamed), or removes the file when there are none; true when a part
    // was kept.
    bool KeepWritten();
    // The part kept by KeepWritten: where, its bytes and the span of its times.
    const std::string& KeptPath() const { return m_keptPath; }
    std::uint64_t KeptBytes() const { return m_keptBytes; }
    std::int64_t KeptMs() const { return m_keptMs; }
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
    // Notes the times of the records; true when they close a group.
    bool NoteGroups(std::span<const std::uint8_t> records);
    // Writes out and closes the file, cut back to its whole records after a
    // failure; false when anything failed.
    bool Finish();

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
    // Time span of the records handed to the sink, by the end of each buffer.
    std::vector<std::pair<std::uint64_t, std::int64_t>> m_flushedSpans;
    std::int64_t m_firstRecordMs = 0;
    std::int64_t m_lastRecordMs = 0;
    bool m_anyRecord = false;
    std::uint64_t m_keptBytes = 0;
    std::int64_t m_keptMs = 0;
    std::string m_keptPath;
};

}  // namespace PLAY_MODULE
