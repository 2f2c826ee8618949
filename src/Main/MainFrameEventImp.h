#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Main/DeleteDecision.h"
#include "Main/FileListHost.h"
#include "Main/LazyPart.h"
#include "PageServices/PageHost.h"
#include "Widgets/SFDialogEvent.h"

class CAboutDlgEventImp;
class CConfigViewEventImp;
class CMsgDlgEventImp;
class CSFDialog;
class CSFView;
class CSFVideoWindow;
class CTabBarEventImp;
class CToolBarEventImp;
class CMainFrameUILogic;
class CMainPageEventImp;
class CExportViewEventImp;
class CPreviewPageEventImp;
class CSeachViewEventImp;
class CWatermarkEventImp;
class CTopPopDlgEventImp;

// The program's one top-level window: creates the bars, pages and dialogs of
// the shell, lays them out, switches full screen, handles shortcuts, drops and
// the orderly close in which every page closes its files first.
class CMainFrameEventImp : public ISFDialogEvent,
                           public IPageHost,
                           public IFileListHost,
                           public boost::enable_shared_from_this<CMainFrameEventImp> {
    SF_DECLARE_MESSAGE_MAP()
public:
    // Page ids of the closing protocol.
    enum { kMainPlayPage = 0, kPreviewPage = 2, kExportPage = 3, kWatermarkPage = 4 };
    // A page that has not reported by then no longer holds the program.
    static constexpr int kDefaultCloseGraceMs = 8000;

    explicit CMainFrameEventImp(const char* file);
    ~CMainFrameEventImp() override;
    CMainFrameEventImp(const CMainFrameEventImp&) = delete;
    CMainFrameEventImp& operator=(const CMainFrameEventImp&) = delete;

    // Makes the frame and shows the main window; file: the command-line
    // file or folder, or null.
    static boost::shared_ptr<CMainFrameEventImp> Create(const char* file);
    // The command-line argument as a path: as given when it exists, else
    // with every "\" turned into "/".
    static std::wstring MakeCommandLinePath(const std::string& file);

    int ShowMainFrame();

    void Dlg_OnInitDialog(int reason) override;
    void OnDlgSize(UINT type, int& cx, int& cy) override;
    int Dlg_Close() override;
    void OnDlgFileDrop(const wchar_t* path) override;
    void OnDlgKeyDown(UINT modifiers, UINT key) override;
    void OnMsgScreenLock(int lock) override;
    void OnDlgTimer(UINT timerId) override;

    void SetFullScreen(int on);
    int IsFullScreen() const { return m_fullScreen; }

    // Closing. A page that takes part registers how it is asked to close; it
    // answers Task_OnCloseSuccess with its id when done.
    void RegisterPageCloser(int pageId, std::function<void()> close);
    void CloseAllPages();
    void TellSaveNotice();
    void Task_OnCloseSuccess(int pageId) override;
    int IsAllPagesClosed() const;
    int IsClosing() override { return m_closing; }
    const std::map<int, int>& GetPageCloseTable() const { return m_pageClose; }
    void SetCloseGracePeriod(int ms) { m_closeGraceMs = ms; }
    // 1 when the close was ended by the grace period.
    int WasCloseForced() const { return m_closeForced; }

    void ResetPageTab(int tabId) override;
    boost::shared_ptr<IFileIndexService> GetFileIndexService() override;
    // The file logic's help logic (empty before it exists).
    boost::shared_ptr<CMainFrameHelpLogic> GetHelpLogic();

    CSFDialog* GetMainWindow() const { return m_pMainWindow; }
    boost::shared_ptr<CToolBarEventImp> GetToolBar() const { return m_toolBar; }
    boost::shared_ptr<CTabBarEventImp> GetTabBar() const { return m_tabBar; }
    // Built when first asked for: nothing shows it at start.
    boost::shared_ptr<CAboutDlgEventImp> GetAboutDlg();
    boost::shared_ptr<CTopPopDlgEventImp> GetTopPopDlg() const { return m_topPopDlg; }
    boost::shared_ptr<CConfigViewEventImp> GetConfigView() const { return m_configView.Get(); }
    boost::shared_ptr<CMainFrameUILogic> GetMainFrameUILogic() const { return m_fileLogic; }
    boost::shared_ptr<CMainPageEventImp> GetMainPage() const { return m_mainPage; }
    // The pages behind the search, preview, watermark, export and settings
    // tabs are built when first shown or asked for; files handed to them
    // before then reach them once they are built.
    boost::shared_ptr<CPreviewPageEventImp> GetPreviewPage() const { return m_previewPage.Get(); }
    boost::shared_ptr<CSeachViewEventImp> GetSearchView() const { return m_searchView.Get(); }
    boost::shared_ptr<CWatermarkEventImp> GetWatermarkPage() const { return m_watermarkPage.Get(); }
    boost::shared_ptr<CExportViewEventImp> GetExportView() const { return m_exportView.Get(); }

    // File logic's view of the frame.
    boost::shared_ptr<IFileListOwner> GetFileListOwner() override;
    void FillWatermarkPage(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups,
                           boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles) override;
    void FillExportPage(boost::shared_ptr<CMainFrameHelpLogic>& helpLogic,
                        boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups,
                        boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles) override;
    void FillPreviewPage(boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles,
                         boost::shared_ptr<std::vector<std::wstring>> paths) override;
    void SetSelectAllCheck(int check) override;
    void SetFileManager(boost::shared_ptr<CFileManager>& fileManager) override;
    void UpdateOpenedPaths() override;
    void DeleteCheckedFiles() override;
    void OpenDroppedPaths(const std::vector<std::wstring>& paths) override;

    // What the bars and the settings page reach of the pages.
    // The view of the page behind a page tab (169 to 174); null while that
    // page does not exist.
    CSFView* GetPageView(int tabId) const;
    // The same, building the page first when it does not exist yet.
    CSFView* BuildPageView(int tabId);
    // The main page's video grid; null without the main page.
    CSFVideoWindow* GetMainVideoWindow() const;
    // 1 while the main page's file list is shown (expanded).
    int IsFileListShown() const;
    // Lays out the play page's header for the file list shown or hidden.
    void ShowFileList(int show);
    void CheckAllFileListItems(int check);
    // Play or pause of the main page, as a click on its play/pause button.
    void ToggleMainPlayback();
    void StopPreview();
    // Closes the export (172) or watermark (173) page's work; the page gives
    // its tab back when done.
    void ClosePageOfTab(int tabId);
    void FillDeleteUsage(DeleteUsage& usage) const;
    int GetWantedReturnNum() const;
    // Pauses the main page when it plays; true when it did.
    bool PauseMainPlayback();
    void ResumeMainPlayback();
    void StopDeleteUses(const DeleteStops& stops, const DeleteUsage& usage);
    // Removes the items from the file list, watermark, export and preview lists.
    void RemoveFromPageLists(const GroupFileListPtr& items);
    void ShowTraceOnMainPage(int mask);
    void SetMainVerticalSync(int on);
    // Sets the picture proportion of the main, export and preview grids.
    void SetGridProportion(int w, int h);

private:
    void CreateChildren();
    void OpenInitialFiles();
    void LayOutPages(int cx, int cy);
    void LayOutClientArea();
    void CreatePages();
    // Builds the page with make when first needed and places it.
    template <class Page>
    void SetPageFactory(CLazyPart<Page>& page, typename CLazyPart<Page>::Factory make);
    // Places a page built after the last layout where the pages go.
    void PlaceBuiltPage(CSFView* view) const;
    void SetMainPageFullScreen(int on);
    void OpenManual();
    void FinishClosing();

    CSFDialog* m_pMainWindow = nullptr;
    boost::shared_ptr<CToolBarEventImp> m_toolBar;
    boost::shared_ptr<CTabBarEventImp> m_tabBar;
    boost::shared_ptr<CAboutDlgEventImp> m_aboutDlg;
    boost::shared_ptr<CTopPopDlgEventImp> m_topPopDlg;
    boost::shared_ptr<CMainFrameUILogic> m_fileLogic;
    boost::shared_ptr<CMainPageEventImp> m_mainPage;
    CLazyPart<CSeachViewEventImp> m_searchView;
    CLazyPart<CWatermarkEventImp> m_watermarkPage;
    CLazyPart<CPreviewPageEventImp> m_previewPage;
    CLazyPart<CExportViewEventImp> m_exportView;
    CLazyPart<CConfigViewEventImp> m_configView;
    boost::weak_ptr<CFileManager> m_fileManager;  // the file index, once a file list was built
    std::map<int, std::function<void()>> m_pageClosers;
    std::map<int, int> m_pageClose;
    std::optional<tagRECT> m_pageRect;  // where pages go, once laid out
    int m_fullScreen = 0;
    int m_closing = 0;
    int m_closeForced = 0;
    int m_closeFinished = 0;
    int m_closeGraceMs = kDefaultCloseGraceMs;
    std::string m_commandLineFile;
};

// The program-wide prompt dialog (empty before the main window exists).
boost::shared_ptr<CMsgDlgEventImp> GetMsgDlg();
