#pragma once

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Main/FileListOwner.h"
#include "PlayManager/PlayManager.h"
#include "Widgets/SFViewEvent.h"

class CFileListEventImp;
class CPlayManagerUILogic;
class CMainTimeLineEventImp;
class CPlayWinManagerEventImp;
class CSFView;
class IPageHost;

// The "Play Window" page: the file list on the left, the video grid on the
// right and the main time line along the bottom.
class CMainPageEventImp : public ISFViewEvent,
                          public IFileListOwner,
                          public boost::enable_shared_from_this<CMainPageEventImp> {
public:
    // parentWindow: the main window's widget; backends: what the page's
    // playback engine is built on (empty: the process's library).
    static boost::shared_ptr<CMainPageEventImp> Create(boost::shared_ptr<IPageHost> owner,
                                                       void* parentWindow = nullptr, CPlayBackends backends = {});
    CMainPageEventImp(boost::weak_ptr<IPageHost> owner, CPlayBackends backends);
    ~CMainPageEventImp() override;

    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;
    void SetFullScreen(int on);
    void ShowFileList(int show) override;

    CSFView* GetView() const { return m_view; }
    boost::shared_ptr<IPageHost> GetMainFrame() const { return m_owner.lock(); }
    boost::shared_ptr<CFileListEventImp> GetFileList() override { return m_fileList; }
    boost::shared_ptr<CPlayWinManagerEventImp> GetPlayWinManager() const { return m_playWinManager; }
    boost::shared_ptr<CMainTimeLineEventImp> GetMainTimeLine() const { return m_mainTimeLine; }

    // The page as its file list and the main frame's file logic see it.
    void* GetFileListParentWnd() override { return GetUIWnd(); }
    void PassKeyToMainFrame(UINT modifiers, UINT key) override;
    boost::shared_ptr<CMainFrameUILogic> GetMainFrameUILogic() override;
    int GetWantedReturnNum() override;
    void SetWantedReturnNum(int count) override;
    void SetWantedShowNum(int count) override;
    void SetSynPlay(int on) override;
    void ResetPlayStates() override;
    void CloseFiles(int certain, int window) override;
    void StartPlayOneFile(std::wstring path, boost::shared_ptr<_QUERY_FILE_INFO> file, int syncPlay) override;
    int IsSyncPlay() override;
    void UpdatePlayBarButton(int id, int check) override;
    CSFVideoWindow* GetVideoWindow() override;
    int SelectLayoutByWndCount(int count) override;
    void SetTimeLineDisplayFlag(int on) override;

private:
    void MoveVideoBeside(const tagRECT& fileListRect, int right);
    boost::shared_ptr<CPlayManagerUILogic> UILogic() const;

    boost::weak_ptr<IPageHost> m_owner;
    CSFView* m_view = nullptr;
    boost::shared_ptr<CFileListEventImp> m_fileList;
    boost::shared_ptr<CPlayWinManagerEventImp> m_playWinManager;
    boost::shared_ptr<CMainTimeLineEventImp> m_mainTimeLine;
    int m_fullScreen = 0;
    CPlayBackends m_backends;
};
