#include "Platform/PlayModule/Format/KvxFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include "Platform/PlayModule/Format/KvxRecordHeader.h"
#include "Platform/PlayModule/Format/KvxVideoPayload.h"

namespace PLAY_MODULE {

namespace {
constexpr std::size_t kFlushSize = 4u << 20;
}

CKvxFileWriter::CKvxFileWriter(std::shared_ptr<const CKvxSigner> signer)
    : m_encoder(std::move(signer))
{
    m_buffer.reserve(kFlushSize + (kFlushSize >> 2));
}

CKvxFileWriter::~CKvxFileWriter()
{
    if (IsOpen()) Close();
}

bool CKvxFileWriter::Open(const std::string& path)
{
    if (IsOpen() || path.empty()) return false;
    m_path = path;
    m_workingPath = path + "_";
    m_fd = ::open(m_workingPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    m_failed = m_fd < 0;
    if (!m_failed) m_sink = std::make_unique<CBackgroundFileSink>(m_fd);
    m_written = 0;
    m_buffer.clear();
    m_flushedSpans.clear();
    m_anyRecord = false;
    m_keptBytes = 0;
    m_keptMs = 0;
    m_keptPath.clear();
    m_footer = CKvxIndexFooter{};
    return !m_failed;
}

void CKvxFileWriter::Failed(int error)
{
    m_failed = true;
    if (m_error == 0)
        m_error = error;
}

bool CKvxFileWriter::NoteGroups(std::span<const std::uint8_t> records)
{
    bool closes = false;
    KvxRecordHeader header;
    for (std::size_t at = 0; at + kvx::kHeaderSize <= records.size(); at += kvx::kHeaderSize + header.payloadSize) {
        if (!header.Decode(records.data() + at))
            break;
        m_firstRecordMs = m_anyRecord ? m_firstRecordMs : header.timeMs;
        m_lastRecordMs = m_anyRecord ? std::max(m_lastRecordMs, header.timeMs) : header.timeMs;
        m_anyRecord = true;
        // A key frame opens a group (closing the one before); a signature closes its own.
        closes = closes || header.IsKeyFrame() || header.kind == kvx::RecordKind::Signature;
    }
    return closes;
}

bool CKvxFileWriter::Flush()
{
    m_written += m_buffer.size();
    m_flushedSpans.emplace_back(m_written, m_lastRecordMs - m_firstRecordMs);
    if (!m_sink->Submit(m_buffer)) Failed(m_sink->Error());
    m_buffer.reserve(kFlushSize + (kFlushSize >> 2));
    return !m_failed;
}

bool CKvxFileWriter::Admits(std::size_t payloadSize, std::int64_t timeMs)
{
    if (payloadSize <= kvx::kMaxPayloadSize && kvx::TimeInRange(timeMs))
        return true;
    m_failed = true;
    return false;
}

bool CKvxFileWriter::FlushIfFull() { return m_buffer.size() < kFlushSize ? !m_failed : Flush(); }

bool CKvxFileWriter::Added(std::size_t before)
{
    const auto added = std::span(m_buffer).subspan(before);
    m_footer.NoteRecords(added, m_written + before);
    return NoteGroups(added) ? Flush() : FlushIfFull();
}

bool CKvxFileWriter::WriteVideo(const KvxVideoFrame& frame)
{
    const std::size_t payload =
        frame.data.size() +
        (frame.keyFrame ? KvxVideoPayload::kKeyInfoSize + frame.parameterSets.size() : 0);
    if (!IsOpen() || !Admits(payload, frame.timeMs)) return false;
    const std::size_t before = m_buffer.size();
    m_encoder.AddVideo(frame, m_buffer);
    m_lastTimeMs = frame.timeMs;
    return Added(before);
}

bool CKvxFileWriter::WriteAudio(const KvxAudioPayload& audio, std::int64_t timeMs)
{
    if (!IsOpen() || !Admits(KvxAudioPayload::kInfoSize + audio.data.size(), timeMs)) return false;
    const std::size_t before = m_buffer.size();
    m_encoder.AddAudio(audio, timeMs, m_buffer);
    m_lastTimeMs = timeMs;
    return Added(before);
}

bool CKvxFileWriter::WriteOverlay(kvx::RecordKind kind, std::int64_t timeMs,
                                  std::span<const std::uint8_t> payload)
{
    if (!IsOpen() || !Admits(payload.size(), timeMs)) return false;
    const std::size_t before = m_buffer.size();
    m_encoder.AddOverlay(kind, timeMs, payload, m_buffer);
    m_lastTimeMs = timeMs;
    return Added(before);
}

bool CKvxFileWriter::WriteWatermark(std::int64_t timeMs, const std::string& utf8Text)
{
    if (!IsOpen() || !Admits(utf8Text.size(), timeMs)) return false;
    const std::size_t before = m_buffer.size();
    m_encoder.AddWatermark(timeMs, utf8Text, m_buffer);
    m_lastTimeMs = timeMs;
    return Added(before);
}

bool CKvxFileWriter::WriteRaw(std::span<const std::uint8_t> bytes)
{
    if (!IsOpen()) return false;
    const std::size_t before = m_buffer.size();
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    return Added(before);
}

bool CKvxFileWriter::Finish()
{
    if (!m_failed) {
        const std::size_t before = m_buffer.size();
        m_encoder.AddClosingSignature(m_lastTimeMs, m_buffer);
        m_footer.NoteRecords(std::span(m_buffer).subspan(before), m_written + before);
        const auto footer = m_footer.Encode(m_written + m_buffer.size());
        m_buffer.insert(m_buffer.end(), footer.begin(), footer.end());
        Flush();
    }
    if (!m_sink->Drain()) Failed(m_sink->Error());
    m_keptBytes = m_sink->Completed();
    m_sink.reset();
    // A failed write may have left part of a record behind.
    if (m_failed && ::ftruncate(m_fd, off_t(m_keptBytes)) != 0) m_keptBytes = 0;
    if (::fsync(m_fd) != 0) Failed(errno);
    if (::close(m_fd) != 0) Failed(errno);
    m_fd = -1;
    m_keptMs = 0;
    for (const auto& [end, span] : m_flushedSpans)
        if (end <= m_keptBytes) m_keptMs = span;
    m_flushedSpans.clear();
    return !m_failed;
}

bool CKvxFileWriter::Close()
{
    if (!IsOpen()) return false;
    if (Finish() && std::rename(m_workingPath.c_str(), m_path.c_str()) != 0) Failed(errno);
    return !m_failed;
}

bool CKvxFileWriter::KeepWritten()
{
    if (IsOpen()) Finish();
    m_keptPath = m_workingPath;
    if (m_keptBytes == 0) {
        ::unlink(m_workingPath.c_str());
        m_keptPath.clear();
        m_keptMs = 0;
    } else if (std::rename(m_workingPath.c_str(), m_path.c_str()) == 0) {
        m_keptPath = m_path;
    }
    return m_keptBytes > 0;
}

void CKvxFileWriter::Abort()
{
    if (!IsOpen()) return;
    m_sink.reset();
    ::close(m_fd);
    m_fd = -1;
    ::unlink(m_workingPath.c_str());
}

}  // namespace PLAY_MODULE
