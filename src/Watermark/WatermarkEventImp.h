#pragma once

#include <list>
#include <memory>
#include <string>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"
#include "PageServices/FileManagerQuery.h"
#include "Watermark/WatermarkRecords.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFViewEvent.h"

class CSFButton;
class CSFListCtrl;
class CSFStatic;
class CSFTreeCtrl;
class CSFView;
class CWaterMarkDetailEventImp;
class CWaterMarkUILogic;
class CWatermarkFileTree;
class IPageHost;
struct ListCtrlStyle;

// The watermark-check page: a tree of the opened recordings to pick from,
// "Start Check" and "Stop Check", and one result row per checked file.
// Everything runs on the GUI thread.
class CWatermarkEventImp : public ISFViewEvent,
                           public ISFTreeCtrlEvent,
                           public ISFButtonEvent,
                           public IFileManagerQuery,
                           public boost::enable_shared_from_this<CWatermarkEventImp> {
    SF_DECLARE_MESSAGE_MAP()
public:
    static constexpr int kPageId = 4;
    static constexpr int kTabId = 173;

    // Made by the main frame; the view is a child of the host's window when
    // the host is a dialog event object.
    static boost::shared_ptr<CWatermarkEventImp> Create(boost::shared_ptr<IPageHost> host);
    explicit CWatermarkEventImp(boost::weak_ptr<IPageHost> host);
    ~CWatermarkEventImp() override;
    CWatermarkEventImp(const CWatermarkEventImp&) = delete;
    CWatermarkEventImp& operator=(const CWatermarkEventImp&) = delete;

    CSFView* GetView() const { return m_view; }
    int IsChecking() const { return m_checking; }
    void StopCheck();
    // exit 1: the main window is closing and waits for page 4.
    void ClosePage(int exit);
    void FinishClose();

    void AddSingleFiles(boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> files);
    void AddGroupFiles(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups);
    int DeleteFileItems(const boost::shared_ptr<std::list<_GROUP_FILE_INFO>>& items);
    boost::shared_ptr<std::list<_GROUP_FILE_INFO>> GetCheckedFiles();

    void Task_GetFilePath_Ret(boost::shared_ptr<std::list<_QUERY_FILE_INFO>> files) override;
    // Follows each query through the helper loop: the query's answer, if
    // any, has arrived before it.
    void Task_QueryDone(int run);

    void ShowProgress(int row, int percent);
    void ShowResult(int row, int code);
    void SetWatermarkText(const std::wstring& text, long time, int row);
    void AddErrorInfo(long time, long kind, long result, int row);

    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnItemCheckStateChanged(void*, int) override {}

    // For the tests and the detail dialog.
    CSFTreeCtrl* GetTree() const { return m_tree; }
    CSFListCtrl* GetResultList() const { return m_list; }
    CSFButton* GetStartButton() const { return m_startButton; }
    CSFButton* GetStopButton() const { return m_stopButton; }
    boost::shared_ptr<CWaterMarkDetailEventImp> GetDetailDialog() const { return m_detail; }
    boost::shared_ptr<CWaterMarkUILogic> GetUILogic() const { return m_uiLogic; }
    const std::vector<WatermarkFileRecord>& GetRecords() const { return m_records; }
    int GetPendingQueries() const { return m_pendingQueries; }
    void OnStartCheck();
    void OnResultDblClick(tagNMHDR* notify, LRESULT* result);

    static ListCtrlStyle ResultListStyle();
    // Local "YYYY-MM-DD hh:mm:ss" of seconds since 1970.
    static std::wstring LocalTimeText(long time);
    // Detail code of a library result.
    static int DetailCodeOf(long result);

private:
    int CreateView();
    void CreateControls();
    void CreateTree();
    void CreateResultList();
    void ClearResults();
    void SetCheckState(int on);
    int QueryCheckedFiles();
    bool PostQuery(QUERY_FILEPATH_TYPE type, unsigned int key, const std::wstring& group, int channelKey,
                   void* item);
    void CancelQueries();
    void StartRun();
    void AddResultRow(const std::wstring& path);
    bool IsRow(int row) const { return row >= 0 && row < int(m_records.size()); }

    boost::weak_ptr<IPageHost> m_host;
    boost::shared_ptr<CWaterMarkDetailEventImp> m_detail;
    int m_checking = 0;
    int m_stopPending = 0;
    int m_exitClose = 0;
    std::vector<WatermarkFileRecord> m_records;
    int m_rowCount = 0;
    int m_pendingQueries = 0;
    int m_run = 0;  // tags the queries of one press of "Start Check"
    CSFView* m_view = nullptr;
    CSFView* m_bottomStrip = nullptr;
    CSFStatic* m_treeCaption = nullptr;
    CSFStatic* m_listCaption = nullptr;
    CSFButton* m_startButton = nullptr;
    CSFButton* m_stopButton = nullptr;
    CSFTreeCtrl* m_tree = nullptr;
    CSFListCtrl* m_list = nullptr;
    boost::shared_ptr<CWaterMarkUILogic> m_uiLogic;
    std::unique_ptr<CWatermarkFileTree> m_fileTree;
};
