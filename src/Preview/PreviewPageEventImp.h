#pragma once

#include <list>
#include <string>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFViewEvent.h"

class CPreviewFileListEventImp;
class CPreviewPagePlayLogic;
class CPreviewSimplePlayerEventImp;
class CPreviewTimeLineViewEventImp;
class CSFStatic;
class CSFView;
class IPageHost;

// The "Preview" page: the slice player with its "Video Preview" label, the
// "Files" panel with its label, and the time line across the bottom. It
// makes the page's play logic and is the access point to its children.
class CPreviewPageEventImp : public ISFViewEvent,
                             public ISFTreeCtrlEvent,
                             public boost::enable_shared_from_this<CPreviewPageEventImp> {
public:
    // parentWindow: the main frame's window the page lives in.
    static boost::shared_ptr<CPreviewPageEventImp> Create(const boost::shared_ptr<IPageHost>& mainFrame,
                                                          void* parentWindow = nullptr);
    explicit CPreviewPageEventImp(const boost::shared_ptr<IPageHost>& mainFrame);
    ~CPreviewPageEventImp() override;

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;

    CSFView* GetView() const { return m_view; }
    boost::shared_ptr<CPreviewSimplePlayerEventImp> GetSimplePlayerView() const { return m_playerView; }
    boost::shared_ptr<CPreviewFileListEventImp> GetFileListView() const { return m_fileList; }
    boost::shared_ptr<CPreviewTimeLineViewEventImp> GetTimeLineView() const { return m_timeLine; }
    boost::shared_ptr<IPageHost> GetMainFrame() const { return m_mainFrame.lock(); }
    boost::shared_ptr<CPreviewPagePlayLogic> GetPlayLogic() const { return m_playLogic; }
    // Links a play logic with the player's UI logic in both directions.
    void UsePlayLogic(const boost::shared_ptr<CPreviewPagePlayLogic>& playLogic);

    // One answer of the file list: its single files, then its plain paths.
    void SetFiles(boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singleFiles,
                  boost::shared_ptr<std::vector<std::wstring>> paths);
    void StopPlay();
    // The page's part of the exit: closes its files on the play loop, which
    // then reports page 2 closed to the main frame.
    void ProcDestroy();

private:
    void CreateView(void* parentWindow);
    CSFStatic* CreateLabel(const wchar_t* text);

    boost::shared_ptr<CPreviewSimplePlayerEventImp> m_playerView;
    boost::weak_ptr<IPageHost> m_mainFrame;
    boost::shared_ptr<CPreviewPagePlayLogic> m_playLogic;
    boost::shared_ptr<CPreviewTimeLineViewEventImp> m_timeLine;
    CSFView* m_view = nullptr;
    CSFStatic* m_playerLabel = nullptr;
    CSFStatic* m_filesLabel = nullptr;
    boost::shared_ptr<CPreviewFileListEventImp> m_fileList;
};
