#include "Main/MainPlayListener.h"

#include <QDebug>

#include "Base/PostTask.h"
#include "Base/SFDateTime.h"
#include "Common/LangString.h"
#include "Common/UserMessages.h"
#include "FileIndex/FileIndexTypes.h"
#include "Main/MainPageEventImp.h"
#include "Main/MainPageFileList.h"
#include "Main/MainTimeLineEventImp.h"
#include "Main/PathNames.h"
#include "Main/PlayBarEventImp.h"
#include "Main/PlayManagerUILogic.h"
#include "Main/PlayWinManagerEventImp.h"
#include "Widgets/SFVideoWindow.h"
#include "Main/MainLog.h"
#include "PlayManager/SynSmartPtr.h"

namespace {

boost::shared_ptr<CMainPageEventImp> MainPageOf(const boost::shared_ptr<CPlayManagerUILogic>& ui)
{
    boost::shared_ptr<CPlayWinManagerEventImp> manager = ui->GetPlayWinManager();
    return manager ? manager->GetMainPage() : boost::shared_ptr<CMainPageEventImp>();
}

boost::shared_ptr<CMainTimeLineEventImp> TimeLineOf(const boost::shared_ptr<CPlayManagerUILogic>& ui)
{
    boost::shared_ptr<CMainPageEventImp> page = MainPageOf(ui);
    return page ? page->GetMainTimeLine() : boost::shared_ptr<CMainTimeLineEventImp>();
}

}  // namespace

bool CMainPlayListener::GridAlive(const boost::shared_ptr<CPlayManagerUILogic>& ui) const
{
    // The grid goes with the play-window manager; a frame still queued then draws nothing.
    return m_videoWindow && ui->GetPlayWinManager();
}

bool CMainPlayListener::WindowToDraw(void* handle, int& window) const
{
    boost::shared_ptr<CPlayManagerUILogic> ui = m_uiLogic.lock();
    if (!ui || !GridAlive(ui))
        return false;
    window = ui->GetWindowOfHandle(handle);
    if (window < 0)
        window = ui->GetWindowReadiedWith(handle);
    return true;
}

CMainPlayListener::CMainPlayListener(boost::weak_ptr<CPlayManagerUILogic> uiLogic, CSFVideoWindow* videoWindow)
    : m_uiLogic(std::move(uiLogic)), m_videoWindow(videoWindow)
{
}

int CMainPlayListener::OnQTRenderSubWin(void* handle, boost::shared_ptr<unsigned char[]> frame, int width,
                                        int height, boost::shared_ptr<SynSmartPtr> token)
{
    int window = -1;
    if (!WindowToDraw(handle, window))
        return 0;
    if (window >= 0)
        m_videoWindow->RenderSubWin(window, frame.get(), RENDER_DATA_QIMAGE, width, height);
    token.reset();
    return 1;
}

int CMainPlayListener::OnQTPlanarSubWin(void* handle, boost::shared_ptr<unsigned char[]> frame, int width,
                                        int height, boost::shared_ptr<SynSmartPtr> token)
{
    int window = -1;
    if (!WindowToDraw(handle, window))
        return 0;
    if (window >= 0)
        m_videoWindow->RenderPlanarSubWin(window, std::move(frame), width, height);
    token.reset();
    return 1;
}

int CMainPlayListener::OnDDRenderSubWinEx(void* handle, boost::shared_ptr<int>, unsigned char* frame, int width,
                                          int height, boost::shared_ptr<SynSmartPtr> token, int overlayPort,
                                          int overlayValue)
{
    int window = -1;
    if (!WindowToDraw(handle, window))
        return 0;
    if (window >= 0)
        m_videoWindow->RenderKeptOffScreenSurface(window, frame, token ? token->KeptAlive() : boost::shared_ptr<void>(),
                                                  width, height, overlayPort, overlayValue);
    return 1;
}

void CMainPlayListener::OnFileRefFinished(void* handle, int success)
{
    boost::shared_ptr<CPlayManagerUILogic> ui = m_uiLogic.lock();
    if (!ui)
        return;
    if (success)
        ui->SaveIndex(handle);
}

std::wstring CMainPlayListener::MakeRecordLabel(const _QUERY_FILE_INFO& entry)
{
    if (entry.queryType == QUERY_FILEPATH_SINGLE)
        return FileNameWithoutExtension(entry.path);
    const unsigned int channel = unsigned(entry.channelKey) & 0xFFFFFF;
    const unsigned int stream = unsigned(entry.channelKey) >> 24;
    const std::wstring streamText = stream ? GetLangString(L"extra") + std::to_wstring(stream)
                                           : std::wstring(GetLangString(L"main"));
    return GetLangString(L"Channel") + std::to_wstring(channel) + L"_" + streamText;
}

void CMainPlayListener::OnPlayTimeInfoChanged(void* handle, unsigned int start, unsigned int end)
{
    boost::shared_ptr<CPlayManagerUILogic> ui = m_uiLogic.lock();
    if (!ui || end <= start)
        return;
    if (start == 0) {
        const unsigned int today = unsigned(SF_SOFT_BASE::GetTodayStartTime());
        start = today;
        end += today;
    }
    _QUERY_FILE_INFO* entry = ui->GetEntry(handle);
    if (!entry) {
        if (ui->GetWantedReturnNum() > 0) {
            m_pendingTimeInfo[handle] = {start, end};
            qCDebug(lcMain, "time info --- %p", handle);
        }
        return;
    }
    entry->startTime = std::int32_t(start);
    entry->endTime = std::int32_t(end);
    if (boost::shared_ptr<CMainTimeLineEventImp> timeLine = TimeLineOf(ui))
        timeLine->UpdateTimeRecord(entry->window, MakeRecordLabel(*entry), entry->fileId, start, end);
    ui->CheckSynPlay();
}

void CMainPlayListener::OnPlayPositionChanged(void* handle, unsigned int time)
{
    boost::shared_ptr<CPlayManagerUILogic> ui = m_uiLogic.lock();
    if (!ui)
        return;
    boost::shared_ptr<CMainTimeLineEventImp> timeLine = TimeLineOf(ui);
    if (!timeLine)
        return;
    if (!handle && ui->GetSynPlay()) {
        timeLine->SetPlayTime(-1, int(ui->ClampToShownTimes(time)));
        return;
    }
    const int window = ui->GetWindowOfHandle(handle);
    if (window >= 0)
        timeLine->SetPlayTime(window, int(time));
}

void CMainPlayListener::OnRecordFailed(void* handle, std::wstring keptPath, unsigned int keptSeconds)
{
    if (boost::shared_ptr<CPlayManagerUILogic> ui = m_uiLogic.lock())
        ui->RecordFailed(handle, keptPath, keptSeconds);
}

void CMainPlayListener::OnFileEnd(void* handle)
{
    boost::shared_ptr<CPlayManagerUILogic> ui = m_uiLogic.lock();
    if (!ui)
        return;
    const int window = ui->GetWindowOfHandle(handle);
    _QUERY_FILE_INFO* entry = ui->GetShownEntry(handle);
    if (!entry)
        return;
    ui->StopRecord(handle, window);
    const bool forward = entry->directionMark != 0;
    entry->endMark = forward ? 1 : 0;
    boost::shared_ptr<CPlayWinManagerEventImp> manager = ui->GetPlayWinManager();
    boost::shared_ptr<CPlayBarEventImp> playBar = manager ? manager->GetPlayBar() : nullptr;
    const bool playing = playBar && playBar->IsPlaying();
    if (!playing && ui->GetPauseAnswered() == 1) {
        ShowNotifyMessage(GetLangString(L"It had step to the end or the begin of file!"), true);
        if (GridAlive(ui))
            m_videoWindow->SnapLastFrame(window);
        return;
    }
    if (ui->GetRepeatOne() == 1) {
        if (!forward) {
            if (entry->queryType != QUERY_FILEPATH_SINGLE)
                ui->ChannelFileEndAndPlayPrev(handle, 0);
            if (GridAlive(ui))
                m_videoWindow->SnapLastFrame(window);
        } else if (entry->queryType == QUERY_FILEPATH_SINGLE) {
            // Restarting clears the end mark, or every later Play would restart it.
            entry->endMark = 0;
            ui->SeekRelativePos(handle, 0.0f, -1);
        } else {
            ui->ChannelFileEndAndPlayNext(handle, 1);
        }
        return;
    }
    ActOnEndInList(ui, handle, window, *entry);
}

// Heard of after the window turned: what the file reached lies behind its play now.
void CMainPlayListener::OnFileEndReached(void* handle, int forward)
{
    boost::shared_ptr<CPlayManagerUILogic> ui = m_uiLogic.lock();
    const _QUERY_FILE_INFO* entry = ui ? ui->GetShownEntry(handle) : nullptr;
    if (entry && (entry->directionMark != 0) != (forward != 0))
        return;
    OnFileEnd(handle);
}

void CMainPlayListener::ActOnEndInList(const boost::shared_ptr<CPlayManagerUILogic>& ui, void* handle, int window,
                                       const _QUERY_FILE_INFO& entry)
{
    const _QUERY_FILE_INFO copy = entry;
    boost::shared_ptr<CMainPageEventImp> page = MainPageOf(ui);
    void* item = MainPageFileList::FindFileItem(page, copy);
    if (copy.directionMark == 0) {
        if (copy.queryType == QUERY_FILEPATH_DAY || copy.queryType == QUERY_FILEPATH_CHANNEL)
            ui->ChannelFileEndAndPlayPrev(handle, 0);
        if (GridAlive(ui))
            m_videoWindow->SnapLastFrame(window);
        return;
    }
    if (copy.queryType == QUERY_FILEPATH_DAY) {
        if (!ui->ChannelFileEndAndPlayNext(handle, 0) && ui->AreAllFilesEnded())
            MainPageFileList::PlayAdjacentFile(page, item, 1, 1, -1);
        return;
    }
    if (copy.queryType == QUERY_FILEPATH_CHANNEL && ui->ChannelFileEndAndPlayNext(handle, 0))
        return;
    if (!MainPageFileList::PlayAdjacentFile(page, item, 1, 0, copy.window))
        ui->CloseFiles(nullptr, copy.window);
}

bool CMainPlayListener::TakePendingTimeInfo(void* handle, unsigned int& start, unsigned int& end)
{
    auto it = m_pendingTimeInfo.find(handle);
    if (it == m_pendingTimeInfo.end())
        return false;
    start = it->second.first;
    end = it->second.second;
    m_pendingTimeInfo.erase(it);
    return true;
}
