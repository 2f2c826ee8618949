#include "Platform/PlayModule/Stream/PlaySdkWrapper.h"

#include <algorithm>
#include <ctime>

#include "Base/SFSignalStack.h"
#include "Platform/PlayModule/FFmpegLog.h"
#include "Platform/PlayModule/Output/SnapshotWriter.h"
#include "Platform/PlayModule/Stream/StreamDemuxer.h"

namespace PLAY_MODULE {

namespace {

constexpr long kMaxPictureSide = 8192;
// Room for the largest key-frame footer after a record the parser holds;
// what is held is bounded by the footer of the records checked (TakeRecordBytes).
constexpr std::size_t kFooterRoom = CKvxIndexFooter::kMaxBytes + 2 * (kvx::kHeaderSize + kvx::kMaxPayloadSize);

std::int64_t FloorSeconds(std::int64_t timeMs)
{
    return timeMs >= 0 ? timeMs / 1000 : (timeMs - 999) / 1000;
}

// Wraps a caller's frame in a picture; false when its description is unsound.
bool PictureOf(const char* frame, long width, long height, long format, PlanarPicture& out)
{
    if (!frame || format != kSnapshotFormatYuv420 || width < 2 || height < 2 ||
        width > kMaxPictureSide || height > kMaxPictureSide)
        return false;
    out.width = int(width);
    out.height = int(height);
    out.vFirst = false;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(frame);
    out.bytes.assign(bytes, bytes + PlanarPicture::SizeFor(out.width, out.height));
    return true;
}

// 1: written under the name asked for; 2: under the next free one; 0: not.
int PlacedResult(const std::string& placed, const char* asked)
{
    return placed.empty() ? 0 : placed == asked ? 1 : 2;
}

}  // namespace

CPlaySdkWrapper::CPlaySdkWrapper()
    : m_tail(kFooterRoom), m_avi([this](unsigned part, std::string& name) { return NextAviName(part, name); })
{
    RouteFFmpegMessages();
    // Records end where a file reader's end (kvx::PastRecordsEnd): bytes
    // after that are judged as bytes after the records.
    m_parser.SetGapBound(true);
    m_avi.SetFailureReport([this](const std::string& keptPath, std::int64_t keptMs) {
        if (IAVIConvertListener* listener = m_aviListener)
            listener->OnAVIConvertFailed(keptPath.c_str(), keptMs);
    });
}

CPlaySdkWrapper::~CPlaySdkWrapper()
{
    m_avi.Stop();
    Stop();
    EndWorker();
    m_queue.Close();
}

void CPlaySdkWrapper::SetImageSnapShotListener(IImageSnapshotListener* listener)
{
    m_snapshotListener = listener;
}

void CPlaySdkWrapper::SetAVIConvertListener(IAVIConvertListener* listener)
{
    m_aviListener = listener;
}

void CPlaySdkWrapper::SetWatermarkListener(IWatermarkCheckListener* listener)
{
    m_watermarkListener = listener;
}

int CPlaySdkWrapper::SetStreamOpenMode(unsigned long mode)
{
    return mode == kStreamMode ? 1 : 0;
}

int CPlaySdkWrapper::OpenStream(unsigned long bufferSize)
{
    if (bufferSize == 0)
        return 0;
    if (m_queue.IsOpen())
        CloseStream();
    m_queue.Open(bufferSize);
    return 1;
}

int CPlaySdkWrapper::CloseStream()
{
    Stop();
    m_queue.Close();
    return 1;
}

int CPlaySdkWrapper::InputData(unsigned char* data, unsigned long size)
{
    if (!data && size > 0)
        return 0;
    return m_queue.Push(data, size) ? 1 : 0;
}

unsigned long CPlaySdkWrapper::GetBufferValue(unsigned long kind)
{
    return kind == kBufferOutstanding ? m_queue.Outstanding() : 0;
}

unsigned long CPlaySdkWrapper::GetSourceBufferRemain()
{
    return m_queue.Queued();
}

bool CPlaySdkWrapper::OnWorkerThread() const
{
    return std::this_thread::get_id() == m_workerId.load();
}

int CPlaySdkWrapper::Play(void* /*window*/)
{
    if (!m_queue.IsOpen())
        return 0;
    if (m_running)
        return 1;
    // Stopped from its own callback, the worker is still running this call:
    // a second one beside it would share its pipeline.
    if (OnWorkerThread())
        return 0;
    EndWorker();  // a worker stopped from its own callback
    ResetPipeline();
    m_decoder.Reset();
    m_checker.Reset();
    m_queue.ClearStop();
    m_stopSeen = false;
    m_running = true;
    m_worker = std::thread([this] { Run(); });
    m_workerId = m_worker.get_id();
    return 1;
}

void CPlaySdkWrapper::EndWorker()
{
    if (!m_worker.joinable())
        return;
    if (OnWorkerThread())
        m_worker.detach();  // only the destructor called from a callback gets here
    else
        m_worker.join();
    // An ended thread's id may be given to another thread.
    m_workerId = std::thread::id();
}

int CPlaySdkWrapper::Stop()
{
    if (!m_running)
        return 1;
    m_running = false;
    m_stopSeen = true;  // no further callbacks, also for the block being handled
    m_queue.RequestStop();
    m_queue.Discard();
    if (OnWorkerThread())
        return 1;  // the worker ends when the callback returns
    EndWorker();
    ResetPipeline();
    m_decoder.Reset();
    m_checker.Reset();
    return 1;
}

int CPlaySdkWrapper::SetSpeed(float speed)
{
    if (!(speed > 0.0f))
        return 0;
    m_speed = speed;
    return 1;
}

int CPlaySdkWrapper::StartAVIConvert(char* path)
{
    return path && m_avi.Start(path) ? 1 : 0;
}

int CPlaySdkWrapper::StopAVIConvert()
{
    return m_avi.Stop() ? 1 : 0;
}

bool CPlaySdkWrapper::AVIConvertFoundNothing() const
{
    return m_avi.FoundNothing();
}

void CPlaySdkWrapper::SetAVISplitSize(std::uint64_t bytes)
{
    m_avi.SetSplitSize(bytes);
}

void CPlaySdkWrapper::SetAVIWriteInPlace(int inPlace)
{
    m_avi.SetWriteInPlace(inPlace != 0);
}

int CPlaySdkWrapper::EnableDisplayCallBack(int enable)
{
    if (enable && !m_snapshotListener.load())
        return 0;
    std::unique_lock lock(m_displayMutex);
    m_displayEnabled = enable != 0;
    m_displayWanted = m_displayEnabled;
    if (!enable && !OnWorkerThread())
        m_displayIdle.wait(lock, [this] { return !m_inSnapshot; });
    return 1;
}

int CPlaySdkWrapper::GetPlayedAbsoluteTime(__DATETIME_INFO* time)
{
    const std::int64_t timeMs = m_playedTimeMs;
    if (!time || timeMs == INT64_MIN)
        return 0;
    const std::time_t seconds = std::time_t(FloorSeconds(timeMs));
    std::tm local{};
    if (!localtime_r(&seconds, &local))
        return 0;
    time->nYear = local.tm_year + 1900;
    time->nMonth = local.tm_mon + 1;
    time->nDay = local.tm_mday;
    time->nHour = local.tm_hour;
    time->nMinute = local.tm_min;
    time->nSecond = local.tm_sec;
    time->nMillisecond = int(timeMs - FloorSeconds(timeMs) * 1000);
    return 1;
}

int CPlaySdkWrapper::ConvertToJpegFile(char* frame, long width, long height, int format,
                                       int quality, char* path)
{
    PlanarPicture picture;
    if (!path || !PictureOf(frame, width, height, format, picture))
        return 0;
    return PlacedResult(CSnapshotWriter::WriteToFreeName(picture, path, PM_IMAGE_JPEG, std::clamp(quality, 1, 100)),
                        path);
}

int CPlaySdkWrapper::ConvertToBmpFile(char* frame, long size, long width, long height, long format,
                                      char* path)
{
    PlanarPicture picture;
    if (!path || size < 0 ||
        std::size_t(size) < PlanarPicture::SizeFor(int(std::clamp(width, 0L, kMaxPictureSide)),
                                                    int(std::clamp(height, 0L, kMaxPictureSide))) ||
        !PictureOf(frame, width, height, format, picture))
        return 0;
    return PlacedResult(CSnapshotWriter::WriteToFreeName(picture, path, PM_IMAGE_BMP, 0), path);
}

int CPlaySdkWrapper::EnableWaterMarkCallBackEx()
{
    m_watermarkEnabled = true;
    return 1;
}

void CPlaySdkWrapper::Run()
{
    SF_SOFT_BASE::SFEnsureSignalStack();
    m_workerId = std::this_thread::get_id();  // before Play has stored it
    std::vector<std::uint8_t> chunk;
    while (!m_stopSeen) {
        switch (m_queue.Wait(chunk)) {
        case CStreamInputQueue::Pull::Stop:
            m_stopSeen = true;
            break;
        case CStreamInputQueue::Pull::Finish:
            m_finishPending = true;
            break;
        case CStreamInputQueue::Pull::Data:
            Consume(chunk);
            break;
        }
        if (m_finishPending && !m_stopSeen) {
            m_finishPending = false;
            FinishInput();
            m_queue.FinishDone();
        }
    }
}

void CPlaySdkWrapper::Consume(std::vector<std::uint8_t>& chunk)
{
    if (m_inputKind == InputKind::Kvx) {
        TakeRecordBytes(chunk);
        return;
    }
    m_head.insert(m_head.end(), chunk.begin(), chunk.end());
    switch (m_probe.Inspect(m_head)) {
    case CKvxStreamProbe::Verdict::Kvx: TakeKvxBytes(m_head); break;
    case CKvxStreamProbe::Verdict::Other: RunContainer(false); break;
    case CKvxStreamProbe::Verdict::Undecided: break;
    }
}

void CPlaySdkWrapper::TakeKvxBytes(std::vector<std::uint8_t>& bytes)
{
    m_inputKind = InputKind::Kvx;
    TakeRecordBytes(bytes);
    bytes.clear();
}

void CPlaySdkWrapper::TakeRecordBytes(std::span<const std::uint8_t> bytes)
{
    m_parser.Feed(bytes);
    // As the file reader: a record is judged whole once the bytes after it are here.
    m_parser.SetMoreComing(true);
    // The checker judges the bytes after the last record when the input ends.
    if (m_watermarkEnabled)
        m_tail.Append(bytes);
    ParseRecords();
    if (m_parser.GapExceeded())
        m_parser.DiscardPending();
    m_tail.DropBefore(m_checker.RecordsEnd());
    // Bytes the parser holds, and after them as many as a footer of the
    // records checked may have: more cannot be that footer.
    m_tail.KeepLast(m_parser.PendingBytes() + m_checker.FooterSize());
}

bool CPlaySdkWrapper::PullForDemuxer(std::vector<std::uint8_t>& chunk)
{
    switch (m_queue.Wait(chunk)) {
    case CStreamInputQueue::Pull::Data: return true;
    case CStreamInputQueue::Pull::Finish: m_finishPending = true; return false;
    case CStreamInputQueue::Pull::Stop: m_stopSeen = true; return false;
    }
    return false;
}

void CPlaySdkWrapper::RunContainer(bool inputEnded)
{
    m_inputKind = InputKind::Container;
    CStreamDemuxer demuxer([this, inputEnded](std::vector<std::uint8_t>& chunk) {
        return !inputEnded && PullForDemuxer(chunk);
    });
    const bool demuxed =
        demuxer.Run(std::move(m_head), [this](const StreamPacket& packet) { HandlePacket(packet); });
    m_head.clear();
    if (!demuxed && !m_stopSeen) {
        // Not a container: read it as ".kvx" bytes that begin with damage.
        TakeKvxBytes(demuxer.History());
        return;
    }
    // The demuxer gave up early: the rest of this input is dropped.
    std::vector<std::uint8_t> rest;
    while (!inputEnded && !demuxer.InputEnded() && PullForDemuxer(rest))
        rest.clear();
}

void CPlaySdkWrapper::ParseRecords()
{
    KvxRecord record;
    while (!m_stopSeen && m_parser.Next(record) == CKvxRecordParser::Status::Record)
        HandleRecord(record);
}

void CPlaySdkWrapper::HandleRecord(const KvxRecord& record)
{
    if (m_watermarkEnabled) {
        m_reports.clear();
        m_checker.Check(record, m_reports);
        Report(m_reports);
    }
    StreamPacket packet;
    if (m_unpacker.Unpack(record, packet))
        HandlePacket(packet);
}

void CPlaySdkWrapper::HandlePacket(const StreamPacket& packet)
{
    if (!packet.format || m_stopSeen)
        return;
    if (packet.format->IsVideo())
        m_playedTimeMs = packet.timeMs;
    m_avi.Write(packet);
    if (!m_displayWanted) {
        if (m_decoding)
            m_decoder.Reset();
        m_decoding = false;
        return;
    }
    m_decoding = true;
    m_decoder.Decode(packet, [this](const PlanarPicture& picture) { DeliverPicture(picture); });
}

void CPlaySdkWrapper::DeliverPicture(const PlanarPicture& picture)
{
    IImageSnapshotListener* listener = m_snapshotListener;
    {
        std::lock_guard lock(m_displayMutex);
        if (!m_displayEnabled || !listener || m_stopSeen)
            return;
        m_inSnapshot = true;
    }
    m_playedTimeMs = picture.timeMs;
    auto* frame = reinterpret_cast<char*>(const_cast<std::uint8_t*>(picture.bytes.data()));
    listener->OnSnapshot(frame, long(picture.bytes.size()), picture.width, picture.height,
                         long(FloorSeconds(picture.timeMs)), kSnapshotFormatYuv420);
    {
        std::lock_guard lock(m_displayMutex);
        m_inSnapshot = false;
    }
    m_displayIdle.notify_all();
}

void CPlaySdkWrapper::Report(const std::vector<WatermarkReport>& reports)
{
    IWatermarkCheckListener* listener = m_watermarkListener;
    if (!listener)
        return;
    for (const WatermarkReport& report : reports)
        if (!m_stopSeen)
            listener->OnWatermarkCheckInfo(this, report.text.c_str(), report.time, report.kind, 0, 0,
                                       report.result);
}

void CPlaySdkWrapper::FinishInput()
{
    if (m_inputKind == InputKind::Unknown && !m_head.empty()) {
        if (m_probe.Decide(m_head) == CKvxStreamProbe::Verdict::Kvx)
            TakeKvxBytes(m_head);
        else
            RunContainer(true);
    }
    m_parser.SetMoreComing(false);
    do {
        ParseRecords();
    } while (m_parser.SkipCutOffRecord());
    m_parser.DiscardPending();
    if (m_decoding)
        m_decoder.Drain([this](const PlanarPicture& picture) { DeliverPicture(picture); });
    m_avi.Flush();
    if (m_watermarkEnabled) {
        m_reports.clear();
        m_checker.Finish(m_reports, m_parser.Offset(), m_tail.From(m_checker.RecordsEnd()));
        Report(m_reports);
    } else {
        m_checker.Reset();
    }
    ResetPipeline();
}

void CPlaySdkWrapper::ResetPipeline()
{
    m_parser.Reset();
    m_tail.Reset();
    m_unpacker.Reset();
    m_inputKind = InputKind::Unknown;
    m_head.clear();
    m_probe.Reset();
    m_finishPending = false;
}

bool CPlaySdkWrapper::NextAviName(unsigned part, std::string& name)
{
    IAVIConvertListener* listener = m_aviListener;
    if (!listener)
        return false;
    char buffer[kAviNameBufferSize] = {};
    int goOn = 0;
    listener->OnAVINextFile(part, &goOn, buffer);
    buffer[kAviNameBufferSize - 1] = '\0';
    name = buffer;
    return goOn != 0;
}

}  // namespace PLAY_MODULE
