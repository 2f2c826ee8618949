#pragma once

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Main/LazyPart.h"
#include "PlayManager/PlayManager.h"
#include "Widgets/SFVideoWindowEvent.h"
#include "Widgets/SFViewEvent.h"

class CCustomLayoutDlgEventImp;
class CLayoutBarEventImp;
class CMainPageEventImp;
class CPlayBarEventImp;
class CPlayManagerUILogic;
class CSFVideoWindow;
class CSFView;
class CVideoInfoDlgEventImp;

// The video side of the main page: the grid with the layout bar on its left
// and the play bar under it; turns the grid's cell buttons and focus changes
// into calls of the page's UI logic.
class CPlayWinManagerEventImp : public ISFViewEvent,
                                public ISFVideoWindowEvent,
                                public boost::enable_shared_from_this<CPlayWinManagerEventImp> {
public:
    // backends: what the page's playback engine is built on (empty: the
    // process's library).
    static boost::shared_ptr<CPlayWinManagerEventImp> Create(boost::weak_ptr<CMainPageEventImp> mainPage,
                                                             CPlayBackends backends = {});
    CPlayWinManagerEventImp(boost::weak_ptr<CMainPageEventImp> mainPage, CPlayBackends backends);
    ~CPlayWinManagerEventImp() override;

    int CreateView(void* parentWindow);
    CSFView* GetView() const { return m_view; }
    CSFVideoWindow* GetVideoWindow() const { return m_videoWindow; }
    boost::shared_ptr<CLayoutBarEventImp> GetLayoutBar() const { return m_layoutBar; }
    boost::shared_ptr<CPlayBarEventImp> GetPlayBar() const { return m_playBar; }
    boost::shared_ptr<CPlayManagerUILogic> GetPlayManagerUILogic() const { return m_uiLogic; }
    // The dialogs are built when first asked for: nothing shows them at start.
    boost::shared_ptr<CVideoInfoDlgEventImp> GetVideoInfoDlg() const { return m_videoInfoDlg.Get(); }
    boost::shared_ptr<CCustomLayoutDlgEventImp> GetCustomLayoutDlg() const { return m_customLayoutDlg.Get(); }
    boost::shared_ptr<CMainPageEventImp> GetMainPage() const { return m_mainPage.lock(); }
    void SetFullScreenMode(int mode);
    void PopCustomLayoutDlg(int x, int y);

    int OnCreate() override;
    void OnSize(UINT type, int width, int height) override;
    void OnBnClickedVideoClose(int index, int id) override;
    void OnBnClickedVideoSnap(int index, int id) override;
    void OnBnClickedVideoRecord(int index, int id, int state) override;
    void OnBnClickedVideoProperty(int index, int id) override;
    void OnFocusWndChanged(int newId, int oldId) override;
    void OnSubWinOccupyRoom(int index, int id, int occupied) override;

private:
    int PlayTimeOf(int window) const;
    // A custom slot stored as the last layout is shown from the start.
    void ApplyStoredCustomLayout();

    CSFView* m_view = nullptr;
    boost::weak_ptr<CMainPageEventImp> m_mainPage;
    boost::shared_ptr<CLayoutBarEventImp> m_layoutBar;
    boost::shared_ptr<CPlayBarEventImp> m_playBar;
    CSFVideoWindow* m_videoWindow = nullptr;
    CLazyPart<CVideoInfoDlgEventImp> m_videoInfoDlg;
    CLazyPart<CCustomLayoutDlgEventImp> m_customLayoutDlg;
    boost::shared_ptr<CPlayManagerUILogic> m_uiLogic;
    int m_fullScreen = 0;
    CPlayBackends m_backends;
};
