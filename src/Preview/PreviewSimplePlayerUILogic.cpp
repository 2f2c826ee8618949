#include "Preview/PreviewSimplePlayerUILogic.h"

#include <sys/stat.h>

#include <algorithm>

#include <boost/make_shared.hpp>
#include <cstdio>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Common/LangString.h"
#include "Common/UserMessages.h"
#include "Platform/PlayModule/PlayModule.h"
#include "Preview/PreviewFileListEventImp.h"
#include "Preview/PreviewLog.h"
#include "Preview/PreviewPageEventImp.h"
#include "Preview/PreviewSimplePlayerEventImp.h"
#include "Preview/PreviewTimeLineViewEventImp.h"
#include "PlayManager/SynSmartPtr.h"
#include "Widgets/PlaySpeedSteps.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFPlayProgressPanel.h"
#include "Widgets/SFSliderCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFVideoWindow.h"

using LumivexBase::ML_MAIN;
using LumivexBase::ML_PLAY;

namespace {

const char kWrongThread[] = "fuction used In wrong Thread!";
constexpr int kLoadTimeoutMs = 60000;
constexpr int kTimeLineRows = 16;
constexpr unsigned long long kLargestPreviewSize = 4294967296ULL;
const wchar_t kPreviewingNow[] =
    L"This operation can't accomplish as the video is previewing now, please retry later!";

void Notify(const wchar_t* key) { ShowNotifyMessage(GetLangString(key), true); }

// A FIFO, device or folder named like a recording would block or fail an open.
bool IsRegularFile(const std::string& path, struct stat& status)
{
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

// Posts a task of the play logic when it still exists.
#define POST_PLAY(method, ...)                                                                \
    do {                                                                                      \
        if (boost::shared_ptr<CPreviewPagePlayLogic> playLogic = m_playLogic.lock())          \
            SF_POST_TASK(ML_PLAY, &CPreviewPagePlayLogic::method, playLogic, ##__VA_ARGS__);  \
    } while (0)

#define MAIN_THREAD_CHECK(name) LumivexBase::CheckLoopThread(ML_MAIN, name, kWrongThread)

CPreviewSimplePlayerUILogic::CPreviewSimplePlayerUILogic(
    const boost::shared_ptr<CPreviewSimplePlayerEventImp>& owner)
    : m_owner(owner)
{
}

CPreviewSimplePlayerUILogic::~CPreviewSimplePlayerUILogic() = default;

void CPreviewSimplePlayerUILogic::SetPlayLogic(const boost::shared_ptr<CPreviewPagePlayLogic>& playLogic)
{
    m_playLogic = playLogic;
}

boost::shared_ptr<CPreviewSimplePlayerEventImp> CPreviewSimplePlayerUILogic::GetOwnerView()
{
    return m_owner.lock();
}

// ---- widgets of the owner ----

CSFVideoWindow* CPreviewSimplePlayerUILogic::VideoWindow()
{
    boost::shared_ptr<CPreviewSimplePlayerEventImp> owner = m_owner.lock();
    return owner ? owner->GetVideoWindow() : nullptr;
}

boost::shared_ptr<CPreviewTimeLineViewEventImp> CPreviewSimplePlayerUILogic::TimeLine()
{
    boost::shared_ptr<CPreviewSimplePlayerEventImp> owner = m_owner.lock();
    boost::shared_ptr<CPreviewPageEventImp> page = owner ? owner->GetPage() : nullptr;
    return page ? page->GetTimeLineView() : nullptr;
}

void CPreviewSimplePlayerUILogic::ResetSpeedControls()
{
    boost::shared_ptr<CPreviewSimplePlayerEventImp> owner = m_owner.lock();
    if (!owner)
        return;
    if (CSFSliderCtrl* slider = owner->GetSpeedSlider())
        slider->SetPos(kNormalPlaySpeedPosition);
    if (CSFStatic* label = owner->GetSpeedStatic())
        label->SetStaticText(L"1X");
}

void CPreviewSimplePlayerUILogic::SetStatusText(const wchar_t* text)
{
    boost::shared_ptr<CPreviewSimplePlayerEventImp> owner = m_owner.lock();
    if (CSFStatic* status = owner ? owner->GetStatusStatic() : nullptr)
        status->SetStaticText(text);
}

void CPreviewSimplePlayerUILogic::EnableSlices(int enable)
{
    boost::shared_ptr<CPreviewSimplePlayerEventImp> owner = m_owner.lock();
    if (CSFComboBox* combo = owner ? owner->GetSlicesComboBox() : nullptr)
        combo->EnableWindow(enable);
}

void CPreviewSimplePlayerUILogic::ShowStopButton(int show)
{
    if (boost::shared_ptr<CPreviewSimplePlayerEventImp> owner = m_owner.lock())
        owner->ShowStopButton(show);
}

int CPreviewSimplePlayerUILogic::ReadSliceCount()
{
    boost::shared_ptr<CPreviewSimplePlayerEventImp> owner = m_owner.lock();
    CSFComboBox* combo = owner ? owner->GetSlicesComboBox() : nullptr;
    const int selection = combo ? combo->GetCurSel() : 0;
    return std::clamp(selection + 2, 2, 16);
}

// ---- lookups ----

PreviewHandleListPtr CPreviewSimplePlayerUILogic::SliceHandles() const
{
    auto handles = boost::make_shared<PreviewHandleList>();
    for (const auto& [id, handle] : m_openSlices)
        handles->push_back(handle);
    return handles;
}

int CPreviewSimplePlayerUILogic::SubWindowOf(void* handle) const
{
    for (const auto& [id, sliceHandle] : m_openSlices) {
        if (sliceHandle == handle)
            return id;
    }
    return -1;
}

int CPreviewSimplePlayerUILogic::SliceIndexOf(int subWindowId) const
{
    auto it = m_sliceMap.find(subWindowId);
    return it == m_sliceMap.end() ? -1 : it->second;
}

// ---- starting and closing ----

void CPreviewSimplePlayerUILogic::LoadFile(std::wstring file)
{
    PLAY_MODULE::CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_DDRAW);
    if (file.empty() && m_file.empty())
        return;
    qCDebug(lcPreview) << "load" << QString::fromStdWString(file);
    EnableSlices(0);
    ResetSpeedControls();
    SetStatusText(GetLangString(L"System is preparing frame by frame preview...."));
    m_speed = 1.0f;
    if (!file.empty())
        m_file = file;
    if (!m_busy)
        CloseFiles();
}

void CPreviewSimplePlayerUILogic::CloseFiles()
{
    if (CSFVideoWindow* video = VideoWindow()) {
        for (const auto& [id, slice] : m_sliceMap)
            video->SetSubWinVideoByID(id, 0);
    }
    m_sliceCount = unsigned(ReadSliceCount());
    if (m_reopen)
        ShowStopButton(1);
    m_pausedCount = 0;
    void* oldMain = m_mainHandle;
    m_mainHandle = nullptr;
    m_loading = 1;
    m_busy = 1;
    POST_PLAY(Task_CloseFiles, oldMain);
}

void CPreviewSimplePlayerUILogic::Task_CloseFilesRet(void*)
{
    MAIN_THREAD_CHECK("CPreviewSimplePlayerUILogic::Task_CloseFilesRet");
    if (!m_openSlices.empty()) {
        if (!m_closing)
            CloseNextSlice();
        return;
    }
    m_indexReported = 0;
    if (boost::shared_ptr<CPreviewTimeLineViewEventImp> timeLine = TimeLine()) {
        for (int row = 0; row < kTimeLineRows; ++row)
            timeLine->RemoveChannel(row);
    }
    m_sliceMap.clear();
    m_busy = 0;
    if (!m_reopen) {
        EnableSlices(1);
        m_file.clear();
        m_loading = 0;
        m_reopen = 1;
        return;
    }
    if (!m_closing && !m_stopRequested) {
        if (m_file.empty())
            return;
        if (!OpenFile())
            return;
    }
    ResetAfterStop();
}

void CPreviewSimplePlayerUILogic::CloseNextSlice()
{
    auto first = m_openSlices.begin();
    const int id = first->first;
    void* handle = first->second;
    auto slice = m_sliceMap.find(id);
    if (slice != m_sliceMap.end()) {
        if (boost::shared_ptr<CPreviewTimeLineViewEventImp> timeLine = TimeLine())
            timeLine->RemoveChannel(slice->second);
        m_sliceMap.erase(slice);
    }
    m_openSlices.erase(first);
    POST_PLAY(Task_CloseFiles, handle);
}

bool CPreviewSimplePlayerUILogic::OpenFile()
{
    const std::string path = SF_SOFT_BASE::WideToUtf8(m_file);
    struct stat status {};
    std::FILE* file = IsRegularFile(path, status) ? std::fopen(path.c_str(), "rb") : nullptr;
    if (!file) {
        SetStatusText(GetLangString(L"Open the video file unsuccessfully"));
        m_loading = 0;
        EnableSlices(1);
        ResetSpeedControls();
        ShowStopButton(0);
        ForgetFile();
        return true;
    }
    std::fclose(file);
    if (static_cast<unsigned long long>(status.st_size) >= kLargestPreviewSize) {
        m_loading = 0;
        EnableSlices(1);
        ShowStopButton(0);
        ForgetFile();
        SetStatusText(L"");
        ShowMessageBox(GetLangString(L"The file is bigger than 4G.It can not be previewed!"),
                       GetLangString(L"Prompt"), 0);
        return false;
    }
    if (CSFVideoWindow* video = VideoWindow()) {
        for (unsigned int i = 0; i < m_sliceCount; ++i)
            m_sliceMap[video->GetSubWinIDByIndex(int(i))] = int(i);
    }
    qCDebug(lcPreview) << "open" << QString::fromStdWString(m_file);
    POST_PLAY(Task_LoadFile, m_file);
    m_loadTimer.Start(kLoadTimeoutMs, &CPreviewSimplePlayerUILogic::OnLoadTimer,
                      reinterpret_cast<std::uintptr_t>(this));
    return true;
}

void CPreviewSimplePlayerUILogic::ResetAfterStop()
{
    if (m_stopRequested) {
        // Nothing is open: the toggle shows play.
        if (boost::shared_ptr<CPreviewSimplePlayerEventImp> owner = m_owner.lock())
            owner->ResetPlayToggle();
        ResetSpeedControls();
        if (m_stopResetsStatus)
            SetStatusText(L"");
        EnableSlices(1);
        m_loading = 0;
        m_pausedCount = 0;
        m_stopRequested = 0;
        ShowStopButton(0);
        m_file.clear();
    }
    m_stopResetsStatus = 1;
}

void CPreviewSimplePlayerUILogic::OnLoadTimer(std::int32_t, std::uintptr_t self)
{
    auto* logic = reinterpret_cast<CPreviewSimplePlayerUILogic*>(self);
    logic->m_loadTimer.Stop();
    Notify(L"Please stop preview when the window is loading for a long time!");
}

void CPreviewSimplePlayerUILogic::StopPlay()
{
    if (m_stopRequested || m_closing || !m_reopen)
        return;
    m_loadTimer.Stop();
    m_stopRequested = 1;
    if (m_stopResetsStatus)
        ClearFileListItem();
    m_sliceCount = unsigned(ReadSliceCount());
    if (!m_busy)
        CloseFiles();
}

void CPreviewSimplePlayerUILogic::ClearFileListItem()
{
    boost::shared_ptr<CPreviewSimplePlayerEventImp> owner = m_owner.lock();
    boost::shared_ptr<CPreviewPageEventImp> page = owner ? owner->GetPage() : nullptr;
    if (boost::shared_ptr<CPreviewFileListEventImp> list = page ? page->GetFileListView() : nullptr)
        list->ClearCurrentItem();
}

void CPreviewSimplePlayerUILogic::ForgetFile()
{
    m_file.clear();
    ClearFileListItem();
}

void CPreviewSimplePlayerUILogic::ProcDestroy()
{
    m_loadTimer.Stop();
    m_busy = 1;
    m_openSlices.clear();
    m_mainHandle = nullptr;
    POST_PLAY(Task_Destroy, boost::make_shared<PreviewHandleList>());
}

// ---- the build ----

void CPreviewSimplePlayerUILogic::Task_OnLoadFileSuccess(void* handle, int ok)
{
    MAIN_THREAD_CHECK("CPreviewSimplePlayerUILogic::Task_OnLoadFileSuccess");
    if (Guarded())
        return;
    qCDebug(lcPreview, "load answered: %p %d", handle, ok);
    if (handle && ok) {
        m_mainHandle = handle;
        return;
    }
    m_loadTimer.Stop();
    SetStatusText(GetLangString(L"Open the video file unsuccessfully"));
    EnableSlices(1);
    ShowStopButton(0);
    ClearFileListItem();
    // Close what the failed load left open; the chain ends without reopening
    // and clears the loading flag.
    m_mainHandle = handle;
    m_reopen = 0;
    CloseFiles();
}

void CPreviewSimplePlayerUILogic::Task_NotEnoughRomAssigned()
{
    ShowMessageBox(GetLangString(L"There is not enough system resource.Preview is failed!"),
                   GetLangString(L"Prompt"), 0);
    StopPlay();
}

void CPreviewSimplePlayerUILogic::OnFileRefFinished(void* handle, int ok)
{
    if (Guarded())
        return;
    qCDebug(lcPreview, "index of %p reported: %d", handle, ok);
    // The report may overtake the load's answer; a stray one from a play
    // object closed by a stop is no build's main file.
    if (!m_mainHandle && m_openSlices.empty() && m_loading && !m_busy)
        m_mainHandle = handle;
    if (handle && handle == m_mainHandle) {
        if (m_indexReported)
            return;
        m_indexReported = 1;
        if (ok) {
            POST_PLAY(Task_SaveRef, handle);
            return;
        }
        m_loadTimer.Stop();
        SetStatusText(GetLangString(L"The file index  was created failed!"));
        m_reopen = 0;
        ShowStopButton(0);
        ClearFileListItem();
        CloseFiles();
        return;
    }
    const int slice = SliceIndexOf(SubWindowOf(handle));
    if (ok && slice >= 0 && m_sliceCount > 0)
        POST_PLAY(Task_Seek, handle, 0u, float(slice * 100.0 / m_sliceCount));
}

void CPreviewSimplePlayerUILogic::Task_SaveIndexRet(void* handle, int)
{
    MAIN_THREAD_CHECK("CPreviewSimplePlayerUILogic::Task_SaveIndexRet");
    if (Guarded() || !handle || handle != m_mainHandle)
        return;
    qCDebug(lcPreview, "index saved");
    if (CSFVideoWindow* video = VideoWindow()) {
        for (const auto& [id, slice] : m_sliceMap)
            video->SetSubWinVideoByID(id, 1);
    }
    POST_PLAY(Task_Preview, m_mainHandle, m_file, 0, int(m_sliceCount));
}

void CPreviewSimplePlayerUILogic::Task_PreviewRet(void*, void* sliceHandle, int ok, int sliceIndex,
                                                  std::wstring errorText, unsigned int fileStart,
                                                  unsigned int fileEnd)
{
    MAIN_THREAD_CHECK("CPreviewSimplePlayerUILogic::Task_PreviewRet");
    if (m_closing)
        return;
    if (!ok || !sliceHandle) {
        qCDebug(lcPreview) << "preview failed:" << QString::fromStdWString(errorText);
        SetStatusText(GetLangString(L"Can not enable frame by frame preview."));
        m_stopResetsStatus = 0;
        ClearFileListItem();
        StopPlay();
        return;
    }
    auto cell = std::find_if(m_sliceMap.begin(), m_sliceMap.end(),
                             [sliceIndex](const auto& entry) { return entry.second == sliceIndex; });
    if (cell == m_sliceMap.end())
        return;
    m_openSlices[cell->first] = sliceHandle;
    qCDebug(lcPreview, "slice %d opened: %p", sliceIndex, sliceHandle);
    const unsigned int sliceStart =
        fileStart + unsigned(sliceIndex) * ((fileEnd - fileStart) / m_sliceCount);
    const std::wstring name =
        std::to_wstring(m_openSlices.size()) + L"/" + std::to_wstring(m_sliceCount);
    if (boost::shared_ptr<CPreviewTimeLineViewEventImp> timeLine = TimeLine()) {
        timeLine->AddChannel(sliceIndex, name, sliceStart, fileEnd);
        if (CSFPlayProgressPanel* panel = timeLine->GetPlayProgressPanel())
            panel->SetHighlightChannel(0);
    }
    if (CSFVideoWindow* video = VideoWindow())
        video->SetFocusSubWin(video->GetSubWinIDByIndex(0));
}

void CPreviewSimplePlayerUILogic::OnSeekSuccess(void* handle)
{
    if (Guarded())
        return;
    qCDebug(lcPreview, "playhandle: %p", handle);
    POST_PLAY(Task_PauseOne, handle, 0);
}

void CPreviewSimplePlayerUILogic::Task_PauseOneRet(void* handle, int)
{
    if (Guarded() || !m_loading)
        return;
    ++m_pausedCount;
    const int id = SubWindowOf(handle);
    qCDebug(lcPreview, "pause success:%d", id);
    if (CSFVideoWindow* video = VideoWindow())
        video->SnapLastFrame(id);
    if (m_pausedCount >= int(m_sliceCount)) {
        m_loadTimer.Stop();
        ResetSpeedControls();
        SetStatusText(L"");
        EnableSlices(1);
        ShowStopButton(0);
        m_loading = 0;
        m_pausedCount = 0;
        return;
    }
    POST_PLAY(Task_Preview, m_mainHandle, m_file, m_pausedCount, int(m_sliceCount));
}

// ---- play-object callbacks ----

void CPreviewSimplePlayerUILogic::OnPlayPositionChanged(void* handle, unsigned int time)
{
    if (Guarded() || m_loading)
        return;
    const int slice = SliceIndexOf(SubWindowOf(handle));
    if (slice < 0)
        return;
    if (boost::shared_ptr<CPreviewTimeLineViewEventImp> timeLine = TimeLine())
        timeLine->SetPlayTime(slice, time);
}

void CPreviewSimplePlayerUILogic::OnFileEnd(void* handle)
{
    if (Guarded())
        return;
    const int id = SubWindowOf(handle);
    const int slice = SliceIndexOf(id);
    if (slice < 0) {
        qCDebug(lcPreview, "OnFileEnd no match hPlayModule %p", handle);
        return;
    }
    qCDebug(lcPreview, "OnFileEnd nCurWnd = %d", id);
    POST_PLAY(Task_FileEnd, handle, int(m_sliceCount), slice);
}

int CPreviewSimplePlayerUILogic::OnQTRenderSubWin(void* handle, boost::shared_ptr<unsigned char[]> frame,
                                                  int width, int height, boost::shared_ptr<SynSmartPtr>)
{
    if (m_busy)
        return 0;
    const int id = SubWindowOf(handle);
    CSFVideoWindow* video = id >= 0 ? VideoWindow() : nullptr;
    if (video)
        video->RenderSubWin(id, frame.get(), RENDER_DATA_QIMAGE, width, height);
    return 1;
}

int CPreviewSimplePlayerUILogic::OnRenderSubWin(void*, boost::shared_ptr<unsigned char[]>, int, int,
                                                int)
{
    return m_busy ? 0 : 1;
}

int CPreviewSimplePlayerUILogic::OnDDRenderSubWinEx(void* handle, boost::shared_ptr<int>,
                                                    unsigned char* frame, int width, int height,
                                                    boost::shared_ptr<SynSmartPtr>, int, int)
{
    if (m_busy)
        return 0;
    const int id = SubWindowOf(handle);
    CSFVideoWindow* video = id >= 0 ? VideoWindow() : nullptr;
    if (video)
        video->RenderOffScreenSurface(id, frame, width, height, -1, -1);
    return 1;
}

// ---- commands ----

bool CPreviewSimplePlayerUILogic::CheckNotLoading()
{
    if (!m_loading)
        return true;
    Notify(kPreviewingNow);
    return false;
}

bool CPreviewSimplePlayerUILogic::CheckStepAllowed()
{
    if (!CheckNotLoading())
        return false;
    if (m_speed < 16.0f)
        return true;
    Notify(L"Can not step play while fast playing upon 16x speed!");
    return false;
}

void CPreviewSimplePlayerUILogic::Seek(void* handle, unsigned int position, int slice)
{
    if (m_closing || m_stopRequested)
        return;
    if (!handle && slice > -1) {
        for (const auto& [id, index] : m_sliceMap) {
            auto open = m_openSlices.find(id);
            if (index == slice && open != m_openSlices.end()) {
                handle = open->second;
                break;
            }
        }
    }
    if (!handle || m_sliceCount == 0)
        return;
    POST_PLAY(Task_Seek, handle, position, float(slice) / float(m_sliceCount));
}

int CPreviewSimplePlayerUILogic::StepBackward()
{
    if (!CheckStepAllowed())
        return 0;
    POST_PLAY(Task_StepBackward, SliceHandles());
    return 1;
}

int CPreviewSimplePlayerUILogic::StepForward()
{
    if (!CheckStepAllowed())
        return 0;
    POST_PLAY(Task_StepForward, SliceHandles());
    return 1;
}

void CPreviewSimplePlayerUILogic::SetPlaySpeed(float speed)
{
    if (!CheckNotLoading() || m_openSlices.empty())
        return;
    m_speed = speed;
    POST_PLAY(Task_SetPlaySpeed, SliceHandles(), speed);
}

void CPreviewSimplePlayerUILogic::Pause(int pause)
{
    POST_PLAY(Task_Pause, SliceHandles(), pause);
}

void CPreviewSimplePlayerUILogic::PauseOne(int subWindowId)
{
    if (!CheckNotLoading())
        return;
    auto open = m_openSlices.find(subWindowId);
    auto handles = boost::make_shared<PreviewHandleList>();
    handles->push_back(open == m_openSlices.end() ? nullptr : open->second);
    POST_PLAY(Task_Pause, handles, 0);
}
