#pragma once

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "PlayManager/PlayManager.h"
#include "Widgets/SFViewEvent.h"

class CFileListEventImp;
class CMainTimeLineEventImp;
class CPlayWinManagerEventImp;
class CSFView;
class IPageHost;

// The "Play Window" page: the file list on the left, the video grid on the
// right and the main time line along the bottom.
class CMainPageEventImp : public ISFViewEvent, public boost::enable_shared_from_this<CMainPageEventImp> {
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
    void ShowFileList(int show);

    CSFView* GetView() const { return m_view; }
    boost::shared_ptr<IPageHost> GetMainFrame() const { return m_owner.lock(); }
    boost::shared_ptr<CFileListEventImp> GetFileList() const { return m_fileList; }
    boost::shared_ptr<CPlayWinManagerEventImp> GetPlayWinManager() const { return m_playWinManager; }
    boost::shared_ptr<CMainTimeLineEventImp> GetMainTimeLine() const { return m_mainTimeLine; }

private:
    void MoveVideoBeside(const tagRECT& fileListRect, int right);

    boost::weak_ptr<IPageHost> m_owner;
    CSFView* m_view = nullptr;
    boost::shared_ptr<CFileListEventImp> m_fileList;
    boost::shared_ptr<CPlayWinManagerEventImp> m_playWinManager;
    boost::shared_ptr<CMainTimeLineEventImp> m_mainTimeLine;
    int m_fullScreen = 0;
    CPlayBackends m_backends;
};
