#include "Export/ExportObject.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "Export/ExportLog.h"

#include "Base/AtomicFileWriter.h"
#include "Base/FileSystemHelpers.h"
#include "Base/PostTask.h"
#include "Base/SFDateTime.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Export/IExportObjectListener.h"
#include "Platform/PlayModule/Format/KvxContentProbe.h"
#include "Platform/PlayModule/Format/KvxRecordHeader.h"
#include "Platform/PlayModule/Source/KvxIndexScanner.h"
#include "Platform/PlayModule/Source/KvxRangePlays.h"
#include "Platform/PlayModule/Source/RecordingCut.h"
#include "Platform/PlayModule/Source/MpegCutEdges.h"
#include "Platform/PlayModule/Stream/ContainerRangeReader.h"
#include "Platform/PlayModule/Stream/PlaySdkWrapper.h"
#include "Platform/Win32/Win32Types.h"

using namespace LumivexBase;
using PLAY_MODULE::__DATETIME_INFO;

namespace {

constexpr float kDecodeSpeed = 64.0f;
constexpr std::uint32_t kFileAttributeNormal = 0x80;
constexpr auto kRoomWait = std::chrono::milliseconds(5);
constexpr auto kRoomPoll = std::chrono::microseconds(100);
constexpr auto kDrainWait = std::chrono::milliseconds(5);
constexpr auto kPictureWait = std::chrono::seconds(60);

std::string StampOf(const __DATETIME_INFO& time)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", time.nYear, time.nMonth, time.nDay,
                  time.nHour, time.nMinute, time.nSecond);
    return text;
}

std::uint64_t RangeOf(const ExportTarget& job)
{
    return job.endOffset > job.startOffset ? job.endOffset - job.startOffset : 0;
}

constexpr int kMaxFreeStemTries = 1000;

// Targets of a clip's files with its stem (its name without the extension)
// changed: "<stem>(n).avi" for its parts.
std::vector<std::string> Restemmed(const std::vector<std::string>& targets, const std::string& stem,
                                   const std::string& newStem)
{
    std::vector<std::string> names;
    for (const std::string& target : targets)
        names.push_back(newStem + target.substr(stem.size()));
    return names;
}

// Names for every file of a clip split into parts that are all free: its
// own, or "<stem>_<n>" with its parts numbered on from there, so that no file
// reads as a part of a clip exported earlier under the same name.
std::vector<std::string> FreeNamesOfParts(const std::vector<std::string>& targets)
{
    const std::string& main = targets.front();
    const std::size_t slash = main.rfind('/');
    std::size_t dot = main.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        dot = main.size();
    const std::string stem = main.substr(0, dot);
    for (int number = 0; number < kMaxFreeStemTries; ++number) {
        auto names = Restemmed(targets, stem, number == 0 ? stem : stem + "_" + std::to_string(number));
        const auto taken = [](const std::string& name) { return ::access(name.c_str(), F_OK) == 0; };
        if (std::none_of(names.begin(), names.end(), taken))
            return names;
    }
    return targets;
}

bool IsSnapshotType(std::uint32_t type)
{
    return type == EXPORT_TYPE_JPEG || type == EXPORT_TYPE_BMP;
}

std::uint64_t SizeOf(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? std::uint64_t(status.st_size) : 0;
}

}  // namespace

ExportObject::ExportObject()
    : block(kBlockSize, 0),
      source(boost::make_shared<SF_SOFT_BASE::CSFFile>()),
      destination(boost::make_shared<SF_SOFT_BASE::CSFFile>()),
      sdk(boost::make_shared<PLAY_MODULE::CPlaySdkWrapper>())
{
    sdk->SetImageSnapShotListener(this);
    sdk->SetAVIConvertListener(this);
    // The clip files are ours, held from their making until they are named.
    sdk->SetAVIWriteInPlace(1);
    m_snapshots = std::make_unique<CSnapshotQueue>(
        [this](CSnapshotQueue::Picture& picture) { return WritePicture(picture); },
        [this] { OnPictureFailed(); });
}

ExportObject::~ExportObject()
{
    // No callback may reach members being destroyed.
    sdk->EnableDisplayCallBack(0);
    m_snapshots.reset();
    sdk->SetImageSnapShotListener(nullptr);
    sdk->SetAVIConvertListener(nullptr);
    sdk.reset();
}

void ExportObject::SetListener(const boost::shared_ptr<IExportObjectListener>& target)
{
    listener = target;
}

void ExportObject::SetFreeSpaceQuery(FreeSpaceQuery query)
{
    m_freeSpace = std::move(query);
}

void ExportObject::SetAVISplitSize(std::uint64_t bytes)
{
    sdk->SetAVISplitSize(bytes);
}

void ExportObject::AddFile(int type, const std::string& srcPath, const std::string& dstPath,
                           std::uint64_t startOffset, std::uint64_t endOffset, int interval,
                           unsigned startTime, unsigned endTime, unsigned fileStartTime)
{
    if (!CheckLoopThread(ML_EXPORT, "ExportObject::AddFile", "fuction used In wrong Thread!"))
        qCDebug(lcExport, "ExportObject::AddFile fuction used In wrong Thread!");
    auto job = boost::make_shared<ExportTarget>();
    job->type = std::uint32_t(type);
    job->srcPath = srcPath;
    job->dstPath = dstPath;
    job->startOffset = startOffset;
    job->endOffset = endOffset;
    job->snapshotInterval = std::uint32_t(interval);
    job->startTime = startTime;
    job->endTime = endTime;
    job->fileStartTime = fileStartTime;
    jobs.push_back(job);
}

void ExportObject::ClearFiles()
{
    jobs.clear();
}

void ExportObject::Export()
{
    if (running)
        return;
    if (jobs.empty()) {
        Report(&IExportObjectListener::OnExportEnd, "&IExportObjectListener::OnExportEnd");
        return;
    }
    for (const auto& job : jobs) {
        // A ".kvx" cut ends where its records end (at a gap the reader does not pass).
        if (PLAY_MODULE::FileLooksLikeKvx(job->srcPath))
            job->endOffset = PLAY_MODULE::CKvxIndexScanner::CutEnd(job->srcPath, job->startOffset, job->endOffset);
        totalBytes += RangeOf(*job);
    }
    failed = 0;
    running = 1;
    sdk->SetStreamOpenMode(PLAY_MODULE::CPlaySdkWrapper::kStreamMode);
    sdk->OpenStream(kStreamBufferSize);
    Post(&ExportObject::Task_ExportFile, "&ExportObject::Task_ExportFile");
}

// An AVI clip takes what was fed before it is closed after the drain.
void ExportObject::StopConvert()
{
    if (!running)
        return;
    running = 0;
    if (currentJob && currentJob->type != EXPORT_TYPE_AVI)
        CloseOutput(true);
}

void ExportObject::Task_ExportFile()
{
    if (!running || jobs.empty()) {
        Post(&ExportObject::Task_SendExportFileStopMsg, "&ExportObject::Task_SendExportFileStopMsg");
        return;
    }
    currentJob = jobs.front();
    m_draining = false;
    m_nothingPlayable = false;
    if (!StartJob(*currentJob)) {
        if (m_nothingPlayable)
            Report(&IExportObjectListener::OnExportNothingPlayable, "&IExportObjectListener::OnExportNothingPlayable",
                   currentJob->srcPath);
        PostWith(&ExportObject::Task_SendExportFileFailedMsg, "&ExportObject::Task_SendExportFileFailedMsg", 0);
        return;
    }
    if (currentJob->type == EXPORT_TYPE_RAW) {
        Post(&ExportObject::Task_WriteData, "&ExportObject::Task_WriteData");
        return;
    }
    sdk->Play(nullptr);
    sdk->SetSpeed(kDecodeSpeed);
    Post(&ExportObject::Task_InputData, "&ExportObject::Task_InputData");
}

bool ExportObject::StartJob(const ExportTarget& job)
{
    if (job.endOffset < job.startOffset || !OpenSource(job))
        return false;
    if (!SpanPlays(job)) {
        m_nothingPlayable = true;
        CloseSource();
        return false;
    }
    bool ok = false;
    switch (job.type) {
    case EXPORT_TYPE_AVI:
        ok = StartAvi(job);
        m_outputOpen = ok;
        break;
    case EXPORT_TYPE_RAW: ok = StartRawCopy(job); break;
    case EXPORT_TYPE_JPEG:
    case EXPORT_TYPE_BMP: ok = StartSnapshots(job); break;
    default: break;
    }
    if (!ok)
        CloseSource();
    return ok;
}

// The library is fed a container's range as records timed on the
// recording's clock; ".kvx" bytes, and bytes no container reader takes, as
// they are.
bool ExportObject::OpenSource(const ExportTarget& job)
{
    m_container.reset();
    if (!source->Open(job.srcPath.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                      kFileAttributeNormal))
        return false;
    remainingBytes = RangeOf(job);
    if (job.type != EXPORT_TYPE_RAW && !PLAY_MODULE::FileLooksLikeKvx(job.srcPath)) {
        auto reader = std::make_unique<PLAY_MODULE::CContainerRangeReader>();
        if (reader->Open(job.srcPath, job.startOffset, job.endOffset, std::int64_t(job.fileStartTime) * 1000))
            m_container = std::move(reader);
    }
    return source->Seek(std::uint32_t(job.startOffset), std::uint32_t(job.startOffset >> 32), 0) != 0;
}

// Whether a picture of the job's range decodes within its span (its start
// second to the end of its end second; no end time: to the range's end). A
// range no container reader takes is left to the job.
bool ExportObject::SpanPlays(const ExportTarget& job) const
{
    if (RangeOf(job) == 0)
        return true;
    const std::int64_t fromMs = std::int64_t(job.startTime) * 1000;
    const std::int64_t toMs = job.endTime > 0 ? (std::int64_t(job.endTime) + 1) * 1000 : INT64_MAX;
    if (PLAY_MODULE::FileLooksLikeKvx(job.srcPath))
        return PLAY_MODULE::KvxRangePlays(job.srcPath, job.startOffset, job.endOffset, fromMs, toMs);
    PLAY_MODULE::CContainerRangeReader reader;
    if (!reader.Open(job.srcPath, job.startOffset, job.endOffset, std::int64_t(job.fileStartTime) * 1000))
        return true;
    return reader.PlaysBetween(fromMs, toMs);
}

// A byte range of ".kvx" records or of an MPEG stream is a clip of its own;
// of other containers only the whole file is.
bool ExportObject::StartRawCopy(const ExportTarget& job)
{
    const std::uint64_t range = RangeOf(job);
    const std::uint64_t free =
        m_freeSpace ? m_freeSpace(job.dstPath) : SF_SOFT_BASE::GetDriveFreeSpace(job.dstPath.c_str());
    if (free <= range)
        return false;
    std::uint8_t head[PLAY_MODULE::kvx::kHeaderSize] = {};
    m_rawIsKvx = range > 0 && source->Read(head, sizeof head) == sizeof head &&
                 PLAY_MODULE::KvxRecordHeader::StartsWithMarker(head);
    std::uint32_t sizeHigh = 0;
    std::uint32_t sizeLow = 0;
    source->SeekToEnd(&sizeHigh, &sizeLow);
    const std::uint64_t fileSize = (std::uint64_t(sizeHigh) << 32) | sizeLow;
    const bool wholeFile = job.startOffset == 0 && job.endOffset == fileSize;
    if (range > 0 && !m_rawIsKvx && !wholeFile && PLAY_MODULE::ByteCutOf(job.srcPath) != PLAY_MODULE::ByteCut::Plays)
        return false;
    if (!source->Seek(std::uint32_t(job.startOffset), std::uint32_t(job.startOffset >> 32), 0))
        return false;
    m_temporary = SF_SOFT_BASE::CHeldTemporary::CreateBeside(job.dstPath);
    if (!m_temporary.IsValid())
        return false;
    // The temporary is new and empty: opening it without truncation spares
    // the flush some file systems start when a truncated file is closed.
    // A cut of an MPEG stream starts and ends with whole frames that decode.
    m_cutEdges = m_rawIsKvx ? PLAY_MODULE::CMpegCutEdges::Edges{{}, job.startOffset, {}}
                            : PLAY_MODULE::CMpegCutEdges::For(job.srcPath, job.startOffset, job.endOffset);
    const std::vector<std::uint8_t>& cutHead = m_cutEdges.head;
    if (!destination->Open(m_temporary.Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING,
                           kFileAttributeNormal) ||
        destination->Write(cutHead.data(), std::uint32_t(cutHead.size())) != cutHead.size() ||
        !source->Seek(std::uint32_t(m_cutEdges.from), std::uint32_t(m_cutEdges.from >> 32), 0)) {
        destination->Close();
        m_temporary.Remove();
        return false;
    }
    if (m_cutEdges.from > job.startOffset)
        CountBlock(m_cutEdges.from - job.startOffset);
    m_written = cutHead.size();
    m_cutPoint.Reset();
    m_outputOpen = true;
    return true;
}

// The library writes the clip (and its further parts) in held files of
// names of their own beside the clip's; they are renamed when the clip is
// closed.
bool ExportObject::StartAvi(const ExportTarget& job)
{
    m_aviPath = job.dstPath;
    SF_SOFT_BASE::CHeldTemporary written = SF_SOFT_BASE::CHeldTemporary::CreateBeside(job.dstPath);
    if (!written.IsValid())
        return false;
    std::string name = written.Path();
    {
        std::lock_guard lock(m_aviFilesMutex);
        m_aviFiles.clear();
        m_aviFiles.emplace_back(std::move(written), job.dstPath);
    }
    if (sdk->StartAVIConvert(name.data()) != 0)
        return true;
    std::lock_guard lock(m_aviFilesMutex);
    m_aviFiles.front().first.Remove();
    m_aviFiles.clear();
    return false;
}

bool ExportObject::StartSnapshots(const ExportTarget& job)
{
    struct stat status {};
    m_snapshotFolderMade = ::stat(job.dstPath.c_str(), &status) != 0;
    if (SF_SOFT_BASE::CreateDirectoryRecursive(SF_SOFT_BASE::Utf8ToWide(job.dstPath + "/")) != 0)
        return false;
    imageFormat = job.type == EXPORT_TYPE_JPEG ? 2 : 3;
    snapshotInterval = job.snapshotInterval;
    elapsedSeconds = 0;
    lastSecond = 0;
    firstSnapshotPending = 1;
    m_snapshotFolder = job.dstPath;
    m_snapshotStart = job.startTime;
    m_snapshotEnd = job.endTime > 0 ? job.endTime : UINT32_MAX;
    m_snapshots->Reset();
    m_renamedPictures = 0;
    m_outputOpen = sdk->EnableDisplayCallBack(1) != 0;
    return m_outputOpen;
}

void ExportObject::CloseSource()
{
    source->Close();
    m_container.reset();
}

void ExportObject::Task_InputData()
{
    if (!running || (remainingBytes == 0 && !m_container)) {
        Post(&ExportObject::Task_WaitInputDataFinish, "&ExportObject::Task_WaitInputDataFinish");
        return;
    }
    const std::uint32_t count = ReadBlock();
    if (count == 0 && m_container) {  // the range held nothing more to feed
        CountBlock(m_blockSourceBytes);
        Post(&ExportObject::Task_WaitInputDataFinish, "&ExportObject::Task_WaitInputDataFinish");
        return;
    }
    if (count == 0) {  // the source is shorter than its range
        FailFeeding();
        return;
    }
    Offer(count);
}

// The next block to feed; sets the source bytes it stands for.
std::uint32_t ExportObject::ReadBlock()
{
    if (m_container) {
        const std::uint64_t before = m_container->Consumed();
        const auto count = std::uint32_t(m_container->Read(block.data(), kBlockSize));
        m_blockSourceBytes = std::min(remainingBytes, m_container->Consumed() - before);
        if (count == 0)
            m_blockSourceBytes = remainingBytes;
        return count;
    }
    const std::uint32_t want = std::uint32_t(std::min<std::uint64_t>(remainingBytes, kBlockSize));
    const std::uint32_t count = source->Read(block.data(), want);
    m_blockSourceBytes = count;
    return count;
}

void ExportObject::Task_Repeat(unsigned int count)
{
    if (!running) {
        Post(&ExportObject::Task_WaitInputDataFinish, "&ExportObject::Task_WaitInputDataFinish");
        return;
    }
    Offer(count);
}

// Waits a little for room in the library's input; a block still refused is
// offered again by a task of its own, so a stop acts in between.
void ExportObject::Offer(std::uint32_t count)
{
    const auto deadline = std::chrono::steady_clock::now() + kRoomWait;
    while (!sdk->InputData(block.data(), count)) {
        if (!running || std::chrono::steady_clock::now() >= deadline) {
            PostWith(&ExportObject::Task_Repeat, "&ExportObject::Task_Repeat", count);
            return;
        }
        std::this_thread::sleep_for(kRoomPoll);
    }
    CountBlock(m_blockSourceBytes);
    if (remainingBytes > 0 || (m_container && count > 0))
        Post(&ExportObject::Task_InputData, "&ExportObject::Task_InputData");
    else
        Post(&ExportObject::Task_WaitInputDataFinish, "&ExportObject::Task_WaitInputDataFinish");
}

void ExportObject::CountBlock(std::uint64_t count)
{
    doneBytes += count;
    ReportProgress();
    remainingBytes -= count;
}

void ExportObject::FailFeeding()
{
    failed = 1;
    running = 0;
    Post(&ExportObject::Task_Stop, "&ExportObject::Task_Stop");
    Post(&ExportObject::Task_WaitInputDataFinish, "&ExportObject::Task_WaitInputDataFinish");
}

void ExportObject::Task_WriteData()
{
    if (!running) {
        Post(&ExportObject::Task_SendExportFileStopMsg, "&ExportObject::Task_SendExportFileStopMsg");
        return;
    }
    if (remainingBytes == 0) {
        Post(&ExportObject::Task_SendExportFileEndMsg, "&ExportObject::Task_SendExportFileEndMsg");
        return;
    }
    const std::uint32_t want = std::uint32_t(std::min<std::uint64_t>(remainingBytes, kBlockSize));
    const std::uint32_t count = source->Read(block.data(), want);
    if (count == 0 || destination->Write(block.data(), count) != count) {
        running = 0;
        PostWith(&ExportObject::Task_SendExportFileFailedMsg, "&ExportObject::Task_SendExportFileFailedMsg", 0);
        return;
    }
    if (m_rawIsKvx)
        m_cutPoint.Feed(block.data(), count);
    m_written += count;
    CountBlock(count);
    if (remainingBytes > 0)
        Post(&ExportObject::Task_WriteData, "&ExportObject::Task_WriteData");
    else
        Post(&ExportObject::Task_SendExportFileEndMsg, "&ExportObject::Task_SendExportFileEndMsg");
}

void ExportObject::Task_WaitInputDataFinish()
{
    const auto now = std::chrono::steady_clock::now();
    if (!m_draining) {
        m_draining = true;
        m_drainStart = now;
    }
    if (!Drained()) {
        if (now - m_drainStart < m_drainLimit) {
            Post(&ExportObject::Task_WaitInputDataFinish, "&ExportObject::Task_WaitInputDataFinish");
            return;
        }
        qCDebug(lcExport, "ExportObject: the library did not drain in time");
        failed = 1;
        running = 0;
    }
    m_draining = false;
    if (running) {
        Post(&ExportObject::Task_SendExportFileEndMsg, "&ExportObject::Task_SendExportFileEndMsg");
        return;
    }
    Post(&ExportObject::Task_SendExportFileStopMsg, "&ExportObject::Task_SendExportFileStopMsg");
    if (failed.exchange(0))
        Report(&IExportObjectListener::OnExportFailed, "&IExportObjectListener::OnExportFailed", 0);
}

// Waits a little for the library's buffers to empty; false while they hold
// data (the caller asks again in a task of its own).
bool ExportObject::Drained()
{
    const auto deadline = std::chrono::steady_clock::now() + kDrainWait;
    while (sdk->GetBufferValue(PLAY_MODULE::CPlaySdkWrapper::kBufferOutstanding) + sdk->GetSourceBufferRemain() != 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kRoomPoll);
    }
    return true;
}

void ExportObject::Task_Stop()
{
    CloseOutput(true);
}

bool ExportObject::CloseOutput(bool cut)
{
    if (!m_outputOpen || !currentJob)
        return true;
    m_outputOpen = false;
    switch (currentJob->type) {
    case EXPORT_TYPE_AVI: return CloseAvi(cut);
    case EXPORT_TYPE_RAW: return CloseRawCopy(cut);
    default:
        return CloseSnapshots();
    }
}

// Pictures that found their names taken were given the next free ones: the
// user is told how many. A folder made for a series that got no picture goes
// again.
bool ExportObject::CloseSnapshots()
{
    sdk->EnableDisplayCallBack(0);
    const bool idle = m_snapshots->WaitIdle(kPictureWait);
    if (const int renamed = m_renamedPictures.exchange(0))
        Report(&IExportObjectListener::OnExportPicturesRenamed, "&IExportObjectListener::OnExportPicturesRenamed",
               currentJob->dstPath, renamed);
    if (idle && m_snapshotFolderMade && m_snapshots->Written() == 0)
        ::rmdir(m_snapshotFolder.c_str());
    return idle;
}

// Renames a whole copy into place; one cut short ends at its last signed
// boundary and is kept under a name of its own (or goes when it has none).
bool ExportObject::CloseRawCopy(bool cut)
{
    const std::vector<std::uint8_t>& tail = m_cutEdges.tail;
    const bool tailWritten = cut || destination->Write(tail.data(), std::uint32_t(tail.size())) == tail.size();
    m_written += cut ? 0 : tail.size();
    destination->Close();
    std::uint64_t keep = m_written;
    if (cut)
        keep = m_rawIsKvx ? m_cutPoint.LastBoundary() : 0;
    const std::string temporary = m_temporary.Path();
    const bool ended = (keep >= m_written || ::truncate(temporary.c_str(), off_t(keep)) == 0) && AppendFooter(keep);
    if (cut) {
        if (!ended)
            ::truncate(temporary.c_str(), 0);
        KeepCut(temporary, currentJob->dstPath);
        m_temporary.Release();
        return true;
    }
    if (!ended || !tailWritten || !SF_SOFT_BASE::CAtomicFileWriter::SyncFile(temporary) ||
        !Place(temporary, currentJob->dstPath, currentJob->dstPath)) {
        m_temporary.Remove();
        return false;
    }
    m_temporary.Release();
    return true;
}

// A complete AVI clip (with its further parts) is synced and renamed into
// place; the files of one cut short are kept under names of their own. Each
// stays held until it has its name.
bool ExportObject::CloseAvi(bool cut)
{
    const bool stopped = sdk->StopAVIConvert() != 0;
    std::vector<std::pair<SF_SOFT_BASE::CHeldTemporary, std::string>> files;
    {
        std::lock_guard lock(m_aviFilesMutex);
        files.swap(m_aviFiles);
    }
    if (!stopped && !cut && sdk->AVIConvertFoundNothing()) {
        m_nothingPlayable = true;
        for (auto& file : files)
            file.first.Remove();
        return false;
    }
    const bool complete = !cut && stopped && !files.empty() && SizeOf(files.front().first.Path()) > 0;
    bool placed = complete;
    std::vector<std::string> targets;
    for (const auto& file : files)
        targets.push_back(file.second);
    if (complete && targets.size() > 1)
        targets = FreeNamesOfParts(targets);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& written = files[i].first.Path();
        const std::string& target = files[i].second;
        // The clip's new name is told once, with its first file.
        const std::string& told = i == 0 ? target : targets[i];
        if (!complete) {
            KeepCut(written, target);
        } else if (!SF_SOFT_BASE::CAtomicFileWriter::SyncFile(written) || !Place(written, targets[i], told)) {
            ::unlink(written.c_str());
            placed = false;
        }
    }
    return cut ? stopped : placed;
}

// A complete clip never replaces a file: a name in use (free, the name meant
// for it, may differ from its target already) gives the next free one, and
// the listener hears which.
bool ExportObject::Place(const std::string& written, const std::string& free, const std::string& target)
{
    const std::string placed = SF_SOFT_BASE::CAtomicFileWriter::RenameToFreeName(written, free);
    if (!placed.empty() && placed != target)
        Report(&IExportObjectListener::OnExportClipRenamed, "&IExportObjectListener::OnExportClipRenamed", target,
               placed);
    return !placed.empty();
}

void ExportObject::KeepCut(const std::string& temporary, const std::string& target)
{
    std::string kept;
    if (SizeOf(temporary) > 0 && SF_SOFT_BASE::CAtomicFileWriter::SyncFile(temporary))
        kept = SF_SOFT_BASE::CAtomicFileWriter::RenameToFreeName(
            temporary, SF_SOFT_BASE::CAtomicFileWriter::IncompleteName(target));
    if (kept.empty())
        ::unlink(temporary.c_str());
    Report(&IExportObjectListener::OnExportClipCut, "&IExportObjectListener::OnExportClipCut", target, kept);
}

// A ".kvx" copy ends with the key-frame footer of its own records.
bool ExportObject::AppendFooter(std::uint64_t keep)
{
    const std::vector<std::uint8_t> footer = m_rawIsKvx ? m_cutPoint.Footer(keep) : std::vector<std::uint8_t>{};
    if (footer.empty())
        return true;
    if (!destination->Open(m_temporary.Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING,
                           kFileAttributeNormal))
        return false;
    std::uint32_t high = 0;
    std::uint32_t low = 0;
    destination->SeekToEnd(&high, &low);
    const auto size = std::uint32_t(footer.size());
    const bool written = destination->Write(footer.data(), size) == size;
    destination->Close();
    return written;
}

void ExportObject::Task_SendExportFileEndMsg()
{
    if (!currentJob)
        return;
    bool ok = CloseOutput(false) && !failed;
    if (ok && IsSnapshotType(currentJob->type) && RangeOf(*currentJob) > 0) {
        ok = m_snapshots->Written() > 0;  // nothing decoded is no picture series
        m_nothingPlayable = !ok;
    }
    if (!ok) {
        running = 0;
        if (m_nothingPlayable)
            Report(&IExportObjectListener::OnExportNothingPlayable, "&IExportObjectListener::OnExportNothingPlayable",
                   currentJob->srcPath);
        if (failed.exchange(0)) {
            // A write that failed on the way (a picture seen only now) ends
            // as the feed's stop path does: failed, then stop.
            Report(&IExportObjectListener::OnExportFailed, "&IExportObjectListener::OnExportFailed", 0);
            Task_SendExportFileStopMsg();
        } else {
            Task_SendExportFileFailedMsg(0);
        }
        return;
    }
    jobs.erase(std::remove(jobs.begin(), jobs.end(), currentJob), jobs.end());
    currentJob.reset();
    CloseSource();
    if (!jobs.empty()) {
        Post(&ExportObject::Task_ExportFile, "&ExportObject::Task_ExportFile");
        return;
    }
    sdk->Stop();
    sdk->CloseStream();
    ResetCurrent();
    Report(&IExportObjectListener::OnExportEnd, "&IExportObjectListener::OnExportEnd");
}

void ExportObject::Task_SendExportFileStopMsg()
{
    EndCut();
    Report(&IExportObjectListener::OnExportStop, "&IExportObjectListener::OnExportStop");
}

void ExportObject::Task_SendExportFileFailedMsg(int code)
{
    EndCut();
    Report(&IExportObjectListener::OnExportStop, "&IExportObjectListener::OnExportStop");
    Report(&IExportObjectListener::OnExportFailed, "&IExportObjectListener::OnExportFailed", code);
}

// The export ends before its last job did: what was written is kept.
void ExportObject::EndCut()
{
    CloseOutput(true);
    sdk->Stop();
    sdk->CloseStream();
    CloseSource();
    ResetCurrent();
}

// Reported when the percentage changed, so the page is not flooded.
void ExportObject::ReportProgress()
{
    if (totalBytes == 0)
        return;
    const int percent = int(doneBytes * 100 / totalBytes);
    if (percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    Report(&IExportObjectListener::OnExportProgress, "&IExportObjectListener::OnExportProgress", percent);
}

void ExportObject::ResetCurrent()
{
    currentJob.reset();
    jobs.clear();
    totalBytes = 0;
    doneBytes = 0;
    remainingBytes = 0;
    snapshotInterval = 0;
    imageFormat = 3;
    lastSecond = 0;
    elapsedSeconds = 0;
    firstSnapshotPending = 0;
    aviPartCounter = 0;
    running = 0;
    failed = 0;
    m_lastPercent = -1;
    m_outputOpen = false;
    m_draining = false;
}

// Library thread: the first picture at or after the start, then one each
// time the interval has passed.
void ExportObject::OnSnapshot(char* frame, long d1, long d2, long d3, long timeStamp, long d4)
{
    if (lcExport().isDebugEnabled()) {
        SF_SOFT_BASE::CSFDateTime stamp;
        stamp.FromTime(std::uint32_t(timeStamp));
        qCDebug(lcExport, "ExportObject::OnSnapshot %d %d %d %d %d %d", stamp.year, stamp.month, stamp.day,
                stamp.hour, stamp.minute, stamp.second);
    }
    // The frame's own second (the played time's), without a local-time
    // conversion for every frame.
    const std::uint32_t seconds = std::uint32_t(timeStamp);
    if (seconds > m_snapshotEnd)
        return;
    if (firstSnapshotPending) {
        if (seconds < m_snapshotStart)
            return;
        firstSnapshotPending = 0;
        lastSecond = seconds;
    } else {
        if (seconds == lastSecond)
            return;
        elapsedSeconds += seconds - lastSecond;
        lastSecond = seconds;
        if (elapsedSeconds < snapshotInterval)
            return;
        elapsedSeconds = 0;
    }
    __DATETIME_INFO played;
    if (!sdk->GetPlayedAbsoluteTime(&played))
        return;
    CSnapshotQueue::Picture picture;
    picture.frame.assign(frame, frame + std::max(d1, 0L));
    picture.size = d1;
    picture.width = d2;
    picture.height = d3;
    picture.format = d4;
    picture.jpeg = imageFormat == 2;
    picture.path = m_snapshotFolder + "/" + StampOf(played) + (picture.jpeg ? ".jpg" : ".bmp");
    m_snapshots->Push(std::move(picture));
}

// Writer thread: one picture of the series.
bool ExportObject::WritePicture(CSnapshotQueue::Picture& picture)
{
    char* frame = picture.frame.data();
    char* path = picture.path.data();
    const int written =
        picture.jpeg ? sdk->ConvertToJpegFile(frame, picture.width, picture.height, int(picture.format), 100, path)
                     : sdk->ConvertToBmpFile(frame, picture.size, picture.width, picture.height, picture.format, path);
    if (written == 2)
        ++m_renamedPictures;
    return written != 0;
}

// Writer thread: the series stops with a failure.
void ExportObject::OnPictureFailed()
{
    failed = 1;
    running = 0;
    if (boost::shared_ptr<ExportObject> self = weak_from_this().lock())
        PostTaskToLoop(ML_EXPORT, MakeTask(&ExportObject::Task_Stop, self), __FILE__, __LINE__,
                       "&ExportObject::Task_Stop", "ExportObject");
}

// Library thread: "<clip>(n).avi" for the n-th further file of this export.
void ExportObject::OnAVINextFile(unsigned int /*part*/, int* goOn, char* name)
{
    const std::size_t slash = m_aviPath.rfind('/');
    std::size_t dot = m_aviPath.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        dot = m_aviPath.size();
    ++aviPartCounter;
    const std::string next = m_aviPath.substr(0, dot) + "(" + std::to_string(aviPartCounter) + ")" +
                             m_aviPath.substr(dot);
    qCDebug(lcExport, "%s %d  %s", m_aviPath.substr(0, dot).c_str(), aviPartCounter, m_aviPath.substr(dot).c_str());
    SF_SOFT_BASE::CHeldTemporary written =
        next.size() + SF_SOFT_BASE::CAtomicFileWriter::kTemporarySuffixSize < std::size_t(PLAY_MODULE::kAviNameBufferSize)
            ? SF_SOFT_BASE::CHeldTemporary::CreateBeside(next)
            : SF_SOFT_BASE::CHeldTemporary();
    if (!written.IsValid()) {
        *goOn = 0;
        failed = 1;
        running = 0;
        return;
    }
    std::copy(written.Path().begin(), written.Path().end(), name);
    name[written.Path().size()] = '\0';
    {
        std::lock_guard lock(m_aviFilesMutex);
        m_aviFiles.emplace_back(std::move(written), next);
    }
    *goOn = 1;
}

void ExportObject::Post(void (ExportObject::*task)(), const char* name)
{
    PostTaskToLoop(ML_EXPORT, MakeTask(task, shared_from_this()), __FILE__, __LINE__, name,
                   "ExportObject");
}

template <class Arg>
void ExportObject::PostWith(void (ExportObject::*task)(Arg), const char* name, Arg value)
{
    PostTaskToLoop(ML_EXPORT, MakeTask(task, shared_from_this(), value), __FILE__, __LINE__, name,
                   "ExportObject");
}

template <class Method, class... Args>
void ExportObject::Report(Method method, const char* name, Args... args)
{
    boost::shared_ptr<IExportObjectListener> target = listener.lock();
    if (!target)
        return;
    PostTaskToLoop(ML_MAIN, MakeTask(method, target, args...), __FILE__, __LINE__, name, "ExportObject");
}
