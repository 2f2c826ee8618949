#include "Platform/PlayModule/Format/KvxFileWriter.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

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
    m_footer = CKvxIndexFooter{};
    return !m_failed;
}

void CKvxFileWriter::Failed(int error)
{
    m_failed = true;
    if (m_error == 0)
        m_error = error;
}

bool CKvxFileWriter::Flush()
{
    m_written += m_buffer.size();
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
    m_footer.NoteRecords(std::span(m_buffer).subspan(before), m_written + before);
    return FlushIfFull();
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

bool CKvxFileWriter::Close()
{
    if (!IsOpen()) return false;
    const std::size_t before = m_buffer.size();
    m_encoder.AddClosingSignature(m_lastTimeMs, m_buffer);
    m_footer.NoteRecords(std::span(m_buffer).subspan(before), m_written + before);
    const auto footer = m_footer.Encode(m_written + m_buffer.size());
    m_buffer.insert(m_buffer.end(), footer.begin(), footer.end());
    Flush();
    if (!m_sink->Drain()) Failed(m_sink->Error());
    m_sink.reset();
    if (::close(m_fd) != 0) Failed(errno);
    m_fd = -1;
    if (!m_failed && std::rename(m_workingPath.c_str(), m_path.c_str()) != 0) Failed(errno);
    return !m_failed;
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
