#include "Watermark/WatermarkLogic.h"

#include <algorithm>
#include <thread>

#include <QDebug>

#include <boost/make_shared.hpp>

#include "Base/FileSystemHelpers.h"
#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/SFSystem.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "Platform/PlayModule/Stream/PlaySdkWrapper.h"
#include "Watermark/WaterMarkUILogic.h"
#include "Watermark/WatermarkTaskInfo.h"
#include "Watermark/WatermarkLog.h"

using LumivexBase::ML_MAIN;
using LumivexBase::ML_WATERMARK;
using PLAY_MODULE::CPlaySdkWrapper;

namespace {

constexpr unsigned long kStreamBufferSize = 921600;
constexpr std::chrono::microseconds kFirstPause{100};
constexpr std::chrono::microseconds kLongestPause{5000};
constexpr std::uint32_t kGenericRead = 0x80000000;
constexpr std::uint32_t kShareRead = 1;
constexpr std::uint32_t kOpenExisting = 3;
constexpr std::uint32_t kNormalAttributes = 0x80;

}  // namespace

CWatermarkLogic::CWatermarkLogic(boost::weak_ptr<CWaterMarkUILogic> owner) : m_owner(std::move(owner))
{
    if (!LumivexBase::CSFMessageLoopManager::GetInstance()->GetMessageLoop(ML_WATERMARK))
        LumivexBase::StartWorkerLoop(ML_WATERMARK);
}

CWatermarkLogic::~CWatermarkLogic() = default;

void CWatermarkLogic::Task_InitWatermark(boost::shared_ptr<CWatermarkTaskInfo> task)
{
    const std::string path = SF_SOFT_BASE::WideToUtf8(task->path);
    // A FIFO or device named like a recording would block the open for good.
    if (!SF_SOFT_BASE::IsRegularFile(path) ||
        !task->file.Open(path.c_str(), kGenericRead, kShareRead, kOpenExisting, kNormalAttributes)) {
        PostInitRet(task, 0, __LINE__);
        return;
    }
    if (!StartDecoder(*task)) {
        task->file.Close();
        PostInitRet(task, 0, __LINE__);
        return;
    }
    TakeFileSize(*task);
    task->bytesFed = 0;
    task->percent = 0;
    m_stop = 0;
    task->AllocateBuffer();
    PostInitRet(task, 1, __LINE__);
}

// A decoder that does not start makes the file one that could not be opened.
bool CWatermarkLogic::StartDecoder(CWatermarkTaskInfo& task)
{
    auto wrapper = boost::make_shared<CPlaySdkWrapper>();
    wrapper->SetWatermarkListener(this);
    const bool started = wrapper->SetStreamOpenMode(CPlaySdkWrapper::kStreamMode) &&
                         wrapper->OpenStream(kStreamBufferSize) && wrapper->EnableWaterMarkCallBackEx() &&
                         wrapper->Play(nullptr);
    if (!started) {
        wrapper->CloseStream();
        return false;
    }
    task.SetWrapper(wrapper);
    return true;
}

void CWatermarkLogic::TakeFileSize(CWatermarkTaskInfo& task)
{
    std::uint32_t high = 0;
    std::uint32_t low = 0;
    if (task.file.SeekToEnd(&high, &low)) {
        task.fileSize = (std::int64_t(high) << 32) | low;
    } else {
        task.file.Close();
        task.fileSize = 0;
    }
    task.file.Seek(0, 0, 0);
}

void CWatermarkLogic::Task_Watermark(boost::shared_ptr<CWatermarkTaskInfo> task)
{
    if (m_stop) {
        qCDebug(lcWatermark, "StopWatermark");
        return;
    }
    if (IsEnded(*task))
        return;  // a block asked for ahead of the file's end
    // Only the size taken at open is read: a growing file ends there.
    const std::int64_t left = task->fileSize - task->bytesFed;
    const auto wanted = std::uint32_t(std::clamp<std::int64_t>(left, 0, CWatermarkTaskInfo::kBlockSize));
    const std::uint32_t count = wanted > 0 && task->buffer ? task->file.Read(task->buffer.get(), wanted) : 0;
    if (count == 0) {
        FailRead(task);
        return;
    }
    task->bytesFed += count;
    WaitResult fed = OfferBlock(*task, count);
    if (fed == WaitResult::Done && task->bytesFed == task->fileSize) {
        fed = WaitDrained(*task);
        if (fed == WaitResult::Done)
            EndStream(*task);
    }
    if (fed == WaitResult::Stopped)
        return;  // the stop that follows in the queue answers
    if (fed == WaitResult::TimedOut) {
        FailRead(task);
        return;
    }
    UpdatePercent(*task);
    PostWatermarkRet(task, __LINE__);
}

CWatermarkLogic::WaitResult CWatermarkLogic::OfferBlock(CWatermarkTaskInfo& task, std::uint32_t count)
{
    return WaitUntil([&] { return task.wrapper->InputData(task.buffer.get(), count) != 0; });
}

CWatermarkLogic::WaitResult CWatermarkLogic::WaitDrained(CWatermarkTaskInfo& task)
{
    CPlaySdkWrapper& wrapper = *task.wrapper;
    return WaitUntil([&] {
        return wrapper.GetBufferValue(CPlaySdkWrapper::kBufferOutstanding) + wrapper.GetSourceBufferRemain() == 0;
    });
}

// Polls done() with pauses growing from 0.1 to 5 ms, so a decoder that
// takes data again soon costs little; a stop ends the wait at once.
CWatermarkLogic::WaitResult CWatermarkLogic::WaitUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + m_patience;
    auto pause = kFirstPause;
    while (!done()) {
        if (m_stop)
            return WaitResult::Stopped;
        if (std::chrono::steady_clock::now() >= deadline)
            return WaitResult::TimedOut;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, kLongestPause);
    }
    return WaitResult::Done;
}

// Ends the decoder's work (its last reports are made before this returns),
// lets go of it and closes the file: a checked file keeps only its result.
void CWatermarkLogic::EndStream(CWatermarkTaskInfo& task)
{
    if (task.wrapper) {
        task.wrapper->Stop();
        task.wrapper->CloseStream();
        task.wrapper.reset();
    }
    task.file.Close();
}

bool CWatermarkLogic::IsEnded(const CWatermarkTaskInfo& task)
{
    return task.percent < 0 || task.percent == 100 || !task.wrapper;
}

void CWatermarkLogic::FailRead(const boost::shared_ptr<CWatermarkTaskInfo>& task)
{
    EndStream(*task);
    task->ReleaseBuffer();
    task->percent = -2;
    task->percentChanged = 1;
    PostWatermarkRet(task, __LINE__);
}

void CWatermarkLogic::UpdatePercent(CWatermarkTaskInfo& task)
{
    const int percent = int(task.bytesFed * 100 / task.fileSize);
    if (percent == task.percent) {
        task.percentChanged = 0;
        return;
    }
    task.percentChanged = 1;
    task.percent = percent;
    if (percent == 100)
        task.ReleaseBuffer();
}

void CWatermarkLogic::Task_StopWatermark(boost::shared_ptr<CWatermarkTaskInfo> task)
{
    m_stop = 1;
    if (task && task->percent != 100 && task->percent >= 0 && task->wrapper) {
        EndStream(*task);
        task->ReleaseBuffer();
        task->bytesFed = 0;
        task->fileSize = 0;
    }
    // What the run's decoders held goes back to the system.
    SF_SOFT_BASE::CSFSystem::GiveBackFreedMemory();
    if (auto owner = m_owner.lock())
        SF_POST_TASK(ML_MAIN, &CWaterMarkUILogic::Task_StopWatermark_Ret, owner);
}

void CWatermarkLogic::OnWatermarkCheckInfo(CPlaySdkWrapper* sender, const char* data, long time, long kind,
                                           long, long, long result)
{
    auto owner = m_owner.lock();
    if (!owner)
        return;
    if (kind == PLAY_MODULE::kWatermarkKindText)
        SF_POST_TASK(ML_MAIN, &CWaterMarkUILogic::Task_WaterMarkText, owner, sender,
                     SF_SOFT_BASE::Utf8ToWide(data ? data : ""), time);
    if (result != PLAY_MODULE::kWatermarkResultOk)
        SF_POST_TASK(ML_MAIN, &CWaterMarkUILogic::Task_WaterError, owner, sender, time, kind, result);
}

void CWatermarkLogic::PostInitRet(const boost::shared_ptr<CWatermarkTaskInfo>& task, int opened, int line)
{
    if (auto owner = m_owner.lock())
        LumivexBase::PostTaskToLoop(ML_MAIN,
                                    LumivexBase::MakeTask(&CWaterMarkUILogic::Task_InitWatermark_Ret, owner, task,
                                                          opened),
                                    __FILE__, line, "&CWaterMarkUILogic::Task_InitWatermark_Ret",
                                    "CWatermarkLogic::Task_InitWatermark");
}

void CWatermarkLogic::PostWatermarkRet(const boost::shared_ptr<CWatermarkTaskInfo>& task, int line)
{
    if (auto owner = m_owner.lock())
        LumivexBase::PostTaskToLoop(ML_MAIN,
                                    LumivexBase::MakeTask(&CWaterMarkUILogic::Task_Watermark_Ret, owner, task,
                                                          task->percent, task->percentChanged),
                                    __FILE__, line, "&CWaterMarkUILogic::Task_Watermark_Ret",
                                    "CWatermarkLogic::Task_Watermark");
}
