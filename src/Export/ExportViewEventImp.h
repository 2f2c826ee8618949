#pragma once

#include <array>
#include <deque>
#include <functional>
#include <list>
#include <string>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Common/GroupItems.h"
#include "Export/IExportView.h"
#include "FileIndex/FileIndexTypes.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFViewEvent.h"

class CExportSimplePlayerViewEventImp;
class CExportTimeLineViewEventImp;
class CExportViewExportLogic;
class CExportViewPlayLogic;
class CExportViewUILogic;
class CFileManager;
class CSFComboBox;
class CSFDateTimeCtrl;
class CSFNumSpiner;
class CSFStatic;
class CSFTreeCtrl;
class CSFView;
class IFileIndexService;
class IPageHost;
struct _SF_SYSTEMTIME;

// The "Export File" page: the file tree, the small player, the time line,
// the export settings and the run controls. Work with files, playback and
// export is done by its UI logic; the page turns input into calls on it and
// shows what it is told.
class CExportViewEventImp : public ISFViewEvent,
                            public ISFTreeCtrlEvent,
                            public ISFDateTimeCtrlEvent,
                            public ISFNumSpinerEvent,
                            public ISFComboBoxEvent,
                            public IExportView,
                            public boost::enable_shared_from_this<CExportViewEventImp> {
    SF_DECLARE_MESSAGE_MAP()

public:
    enum ControlId {
        kPageId = 116,
        kFormatComboId = 318,
        kStartDateId = 319,
        kEndDateId = 320,
        kStartTimeId = 321,
        kEndTimeId = 322,
        kHoursId = 323,
        kMinutesId = 324,
        kSecondsId = 325,
        kTreeId = 326,
        kExportResultMessage = 2002,
    };
    static constexpr int kPageNumber = 3;
    static constexpr int kTabId = 172;
    static constexpr std::size_t kMaxFolderLength = 200;
    // Asks for the export folder; false when cancelled.
    using FolderChooser = std::function<bool(std::wstring& folder)>;

    static boost::shared_ptr<CExportViewEventImp> Create(const boost::shared_ptr<IPageHost>& mainFrame);
    explicit CExportViewEventImp(const boost::shared_ptr<IPageHost>& mainFrame);
    ~CExportViewEventImp() override;

    // ISFViewEvent
    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;
    // ISFTreeCtrlEvent
    void OnItemDbClick(void* item, tagPOINT& point) override;
    int OnItemClick(void*, UINT) override { return 1; }
    void OnItemCheckStateChanged(void* item, int checked) override;
    void OnItemCheckBoxClick(void* item, UINT checkable) override;
    // ISFComboBoxEvent
    void SelectChanged(int id, int index) override;

    // The main window and its file logic.
    CSFView* GetView() const { return m_view; }
    void FillFileTree(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups);
    void AddFiles(boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> files);
    void UpdateFileManager(const boost::shared_ptr<IFileIndexService>& fileIndex);
    void SetFileManager(boost::shared_ptr<CFileManager>& fileManager);
    void ProcDestroy();
    boost::shared_ptr<CExportSimplePlayerViewEventImp> GetSimplePlayerView() const { return m_player; }

    // The tab bar.
    void CloseAll();
    int IsExporting() const;
    void DeleteSelectedItem(boost::shared_ptr<std::list<_GROUP_FILE_INFO>>& items);
    boost::shared_ptr<std::list<_GROUP_FILE_INFO>> GetCheckedChannelNames();
    boost::shared_ptr<std::list<_GROUP_FILE_INFO>> GetHilightCheckedChannelNames();

    // IExportView: the UI logic.
    CSFVideoWindow* GetVideoWindow() override;
    boost::shared_ptr<IExportTimeLine> GetTimeLineView() override;
    void SetTreeCheckable(int enable) override;
    void SetTreeItemCheck(const std::wstring& group, int key, int channelKey, int kind, int check) override;
    void SetTreeItemHilight(const std::wstring& group, int key, int channelKey, int kind, int hilight) override;
    void SetCutTime(unsigned int time, int which) override;
    void ShowPlaying(int lineId) override;
    void ResetPlayButton() override;
    void ResetAfterExport() override;
    void PostNoExportFile() override;
    void PostFileTooLarge() override;
    void PostCannotExport(const std::vector<std::wstring>& fileNames, ExportRefusal reason) override;
    void PostExportFailed(const std::wstring& folder) override;
    void PostNothingPlayable(const std::wstring& fileName) override;
    void OnExportStarted() override;
    void OnExportFinished() override;
    void OnExportStopped() override;
    void SetExportProgress(int percent) override;
    void SetPrepareProgress(int percent) override;
    // The bar tells how much of the span is prepared.
    bool IsPreparingExport() const { return m_preparing; }
    void DisableExportButton() override;

    // The player view and the time line.
    void OnExportButton(int start);
    void PauseFromPlayer();
    int SetPlaySpeed(float speed);
    boost::shared_ptr<CExportViewUILogic> GetUILogic() const { return m_uiLogic; }
    boost::shared_ptr<CExportTimeLineViewEventImp> GetTimeLine() const { return m_timeLine; }
    void OnCutTimeChanged(unsigned int time, int which);
    void OnExportResultMsg(WPARAM wParam, LPARAM lParam);

    // Seams and views for tests and the main window.
    void SetFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    CSFTreeCtrl* GetTree() const { return m_tree; }
    CSFComboBox* GetFormatCombo() const { return m_formatCombo; }
    CSFNumSpiner* GetSpinner(int index) const { return m_spinners[std::size_t(index)]; }
    CSFDateTimeCtrl* GetPicker(int index) const { return m_pickers[std::size_t(index)]; }
    int AreControlsEnabled() const { return m_controlsEnabled; }
    // The channel key of a channel item (-1 for other items).
    int ChannelKeyOf(void* item) const;

private:
    void ShowPreparing(bool preparing);
    void CreateView(void* parentWindow);
    void CreateLogics();
    void CreateControls();
    void CreateLabels();
    void CreatePickers();
    void CreateSpinners();
    void ResetTimePickers();
    void ShowBusyMessage();
    bool NothingToClose() const;
    void StartClosing();
    void PostExportResult(int code);
    void PostNamedResult(const wchar_t* text, const std::wstring& names);
    std::wstring ItemText(void* item, int size) const;
    bool IsChannelItem(void* item) const;
    void* FindTopItemByData(DWORD data) const;
    void* FindDateItem(void* group, int dayKey) const;
    void* FindChannelItem(void* date, int channelKey) const;
    void* InsertGroupItem(const std::wstring& group);
    void* InsertDateItem(void* group, int dayKey);
    bool AllChildrenChecked(void* parent) const;
    bool AnyChildChecked(void* parent) const;
    void CheckChildren(void* parent, int check);
    void HilightChildren(void* parent, int hilight);
    bool FindItems(const std::wstring& group, int key, int kind, void*& groupItem, void*& dateItem) const;
    boost::shared_ptr<std::list<_GROUP_FILE_INFO>> CheckedItems(bool hilightedOnly);
    std::uint32_t PickerTime(int dateIndex, int timeIndex) const;
    void SetPickers(unsigned int time, int which);

    boost::shared_ptr<CExportSimplePlayerViewEventImp> m_player;
    boost::shared_ptr<CExportTimeLineViewEventImp> m_timeLine;
    boost::shared_ptr<CExportViewUILogic> m_uiLogic;
    boost::shared_ptr<CExportViewPlayLogic> m_playLogic;
    boost::shared_ptr<CExportViewExportLogic> m_exportLogic;
    CSFView* m_view = nullptr;
    CSFTreeCtrl* m_tree = nullptr;
    CGroupItems m_groups;
    std::array<CSFStatic*, 12> m_labels{};
    CSFComboBox* m_formatCombo = nullptr;
    std::array<CSFDateTimeCtrl*, 4> m_pickers{};  // start date, start time, end date, end time
    std::array<CSFNumSpiner*, 3> m_spinners{};    // hours, minutes, seconds
    boost::weak_ptr<IPageHost> m_mainFrame;
    int m_closing = 0;
    int m_controlsEnabled = 1;
    int m_leavePending = 0;
    bool m_closeReported = false;
    bool m_preparing = false;
    FolderChooser m_chooseFolder;
    std::deque<std::wstring> m_namedResults;  // messages naming files, still to show
};
