#include "Platform/PlayModule/Stream/AviConverter.h"

#include "Base/AtomicFileWriter.h"
#include "Platform/PlayModule/Source/AnnexB.h"


namespace PLAY_MODULE {

namespace {

constexpr std::size_t kMaxHeldVideoFrames = 25;
constexpr std::size_t kMaxHeldBytes = 8u << 20;

// A file starts with what its decoder needs: parameter sets in the format
// or in the key frame itself.
bool StartsDecoding(const StreamPacket& packet)
{
    const AVCodecID codec = packet.format->codec;
    if (!packet.format->extradata.empty() || (codec != AV_CODEC_ID_H264 && codec != AV_CODEC_ID_HEVC))
        return true;
    return HasEveryParameterSet(packet.data, codec == AV_CODEC_ID_HEVC ? kvx::VideoCodec::H265 : kvx::VideoCodec::H264);
}

// A file of a name of its own is made beside it and removed again.
bool CanCreate(const std::string& path)
{
    SF_SOFT_BASE::CAtomicFileWriter probe(path);
    return probe.Open();
}

}  // namespace

CAviConverter::CAviConverter(NameRequest nameRequest) : m_nameRequest(std::move(nameRequest)) {}

CAviConverter::~CAviConverter()
{
    Stop();
}

bool CAviConverter::Start(const std::string& path)
{
    Stop();
    if (path.empty() || !CanCreate(path))
        return false;
    std::lock_guard lock(m_mutex);
    m_out = Output{};
    m_out.path = path;
    m_active = true;
    m_failed = false;
    m_wroteFile = false;
    m_foundNothing = false;
    m_part = 1;
    ++m_generation;
    return true;
}

bool CAviConverter::FoundNothing() const
{
    std::lock_guard lock(m_mutex);
    return m_foundNothing;
}

bool CAviConverter::IsActive() const
{
    std::lock_guard lock(m_mutex);
    return m_active;
}

void CAviConverter::SetSplitSize(std::uint64_t bytes)
{
    std::lock_guard lock(m_mutex);
    m_splitSize = bytes;
}

void CAviConverter::SetWriteInPlace(bool inPlace)
{
    m_inPlace = inPlace;
}

void CAviConverter::SetFailureReport(FailureReport report)
{
    std::lock_guard lock(m_mutex);
    m_failureReport = std::move(report);
}

// The file's whole part stays; the report waits until the lock is left.
void CAviConverter::Fail()
{
    if (m_active && m_out.writer) {
        m_out.writer->Close();
        const std::int64_t keptMs = m_out.writer->KeptMs();
        m_unreported = Kept{keptMs > 0 ? m_out.path : std::string(), keptMs};
    }
    m_failed = true;
    m_active = false;
    m_out.writer.reset();
    m_out.held.clear();
}

void CAviConverter::ReportFailure()
{
    FailureReport report;
    std::optional<Kept> kept;
    {
        std::lock_guard lock(m_mutex);
        kept.swap(m_unreported);
        report = m_failureReport;
    }
    if (kept && report)
        report(kept->path, kept->ms);
}

bool CAviConverter::Stop()
{
    Output output;
    bool wasActive = false;
    {
        std::unique_lock lock(m_mutex);
        if (m_namingThread != std::this_thread::get_id())
            m_namingDone.wait(lock, [this] { return !m_naming; });
        wasActive = m_active;
        m_active = false;
        ++m_generation;
        output = std::move(m_out);
        m_out = Output{};
    }
    bool complete = true;
    if (wasActive) {
        if (!output.writer && !output.held.empty())
            complete = OpenOutput(output);
        if (output.writer) {
            complete = WriteHeld(output) && complete;
            complete = output.writer->Close() && complete;
        }
    }
    std::lock_guard lock(m_mutex);
    // A conversion that found no picture to write wrote nothing: a failure.
    m_foundNothing = wasActive && complete && !m_failed && !output.writer && !m_wroteFile;
    if (!complete || m_foundNothing)
        m_failed = true;
    return !m_failed;
}

bool CAviConverter::OpenOutput(Output& output)
{
    auto writer = std::make_unique<CAviFileWriter>();
    if (!writer->Open(output.path, output.video, output.audio ? &*output.audio : nullptr, m_inPlace))
        return false;
    output.writer = std::move(writer);
    m_wroteFile = true;
    return true;
}

bool CAviConverter::WriteHeld(Output& output)
{
    bool written = true;
    for (const HeldPacket& held : output.held) {
        StreamPacket packet;
        packet.format = held.video ? &output.video : (output.audio ? &*output.audio : nullptr);
        packet.key = held.key;
        packet.timeMs = held.timeMs;
        packet.data = held.data;
        if (packet.format)
            written = output.writer->Write(packet) && written;
    }
    output.held.clear();
    return written;
}

void CAviConverter::Hold(const StreamPacket& packet)
{
    HeldPacket held;
    held.video = packet.format->IsVideo();
    held.key = packet.key;
    held.timeMs = packet.timeMs;
    held.data.assign(packet.data.begin(), packet.data.end());
    m_out.held.push_back(std::move(held));
}

bool CAviConverter::NeedsNextFile(const StreamPacket& packet) const
{
    if (!packet.key)
        return false;
    if (!m_out.writer)
        return !m_out.held.empty() && !packet.format->SameLayout(m_out.video);
    return !packet.format->SameLayout(m_out.video) || m_out.writer->BytesWritten() >= m_splitSize;
}

bool CAviConverter::StartNextFile(std::unique_lock<std::mutex>& lock)
{
    if (!m_out.writer && !m_out.held.empty() && !OpenHeld()) {
        Fail();
        return false;
    }
    if (m_out.writer && !m_out.writer->Close()) {
        Fail();
        return false;
    }
    m_out = Output{};
    const std::uint64_t generation = m_generation;
    const unsigned part = ++m_part;
    std::string name;
    m_naming = true;
    m_namingThread = std::this_thread::get_id();
    lock.unlock();
    const bool goOn = m_nameRequest && m_nameRequest(part, name);
    lock.lock();
    m_naming = false;
    m_namingThread = {};
    m_namingDone.notify_all();
    if (generation != m_generation || !m_active)
        return false;
    if (!goOn || name.empty()) {
        m_active = false;
        return false;
    }
    m_out.path = name;
    return true;
}

void CAviConverter::WriteVideo(const StreamPacket& packet, std::unique_lock<std::mutex>& lock)
{
    if (NeedsNextFile(packet) && !StartNextFile(lock))
        return;
    if (!m_out.writer && m_out.held.empty()) {
        if (!packet.key || !StartsDecoding(packet))
            return;
        m_out.video = *packet.format;
    }
    if (m_out.writer) {
        if (!m_out.writer->Write(packet))
            Fail();
        return;
    }
    Hold(packet);
    std::size_t videoFrames = 0;
    std::size_t bytes = 0;
    for (const HeldPacket& held : m_out.held) {
        videoFrames += held.video ? 1 : 0;
        bytes += held.data.size();
    }
    if ((videoFrames >= kMaxHeldVideoFrames || bytes >= kMaxHeldBytes) && !OpenHeld())
        Fail();
}

void CAviConverter::WriteAudio(const StreamPacket& packet)
{
    if (m_out.writer) {
        if (m_out.audio && packet.format->SameLayout(*m_out.audio) && !m_out.writer->Write(packet))
            Fail();
        return;
    }
    if (m_out.held.empty())
        return;
    m_out.audio = *packet.format;
    Hold(packet);
    if (!OpenHeld())
        Fail();
}

void CAviConverter::Write(const StreamPacket& packet)
{
    {
        std::unique_lock lock(m_mutex);
        if (!m_active || !packet.format || packet.data.empty())
            return;
        if (packet.format->IsVideo())
            WriteVideo(packet, lock);
        else
            WriteAudio(packet);
    }
    ReportFailure();
}

void CAviConverter::Flush()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_active && !m_out.writer && !m_out.held.empty() && !OpenHeld())
            Fail();
    }
    ReportFailure();
}

bool CAviConverter::OpenHeld()
{
    return OpenOutput(m_out) && WriteHeld(m_out);
}

}  // namespace PLAY_MODULE
