#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Export/ExportRecords.h"
#include "Export/IExportView.h"
#include "Export/IExportObjectListener.h"
#include "PlayManager/IPlayObjectListener.h"
#include "Widgets/PlayProgressTypes.h"

class CExportViewExportLogic;
class CExportViewPlayLogic;
class CFileManager;
class CSFVideoWindow;
class IExportTimeLine;
class IExportView;

// The export page's logic on the GUI thread: what the user took onto the
// page, which recordings are open and play in the small player, the time
// line's rows and span, and the export run. Playing work goes to the play
// logic (loop 3), export jobs to the export logic (loop 6).
class CExportViewUILogic : public IPlayObjectListener,
                           public IExportObjectListener,
                           public boost::enable_shared_from_this<CExportViewUILogic> {
public:
    // Pending operations, kept as file key * 8 + the code.
    enum PendingOp { PENDING_OPEN = 0, PENDING_PLAY = 1, PENDING_STOP = 2, PENDING_CLOSE = 3 };
    // Busy states: the tree operation still waiting for answers.
    enum BusyState {
        BUSY_NONE = 0,
        BUSY_OPEN_DAY = 1,
        BUSY_CLOSE_DAY = 2,
        BUSY_OPEN_CHANNEL = 3,
        BUSY_CLOSE_CHANNEL = 4,
        BUSY_OPEN_SINGLE = 5,
        BUSY_CLOSE_SINGLE = 6,
        BUSY_PLAY_CHANNEL = 7,
    };

    CExportViewUILogic();
    ~CExportViewUILogic() override;

    void SetPage(const boost::shared_ptr<IExportView>& page);
    void SetPlayLogic(const boost::shared_ptr<CExportViewPlayLogic>& playLogic);
    void SetExportLogic(const boost::shared_ptr<CExportViewExportLogic>& exportLogic);
    void SetFileManager(const boost::shared_ptr<CFileManager>& fileManager);
    // From the start until the engine reported its end or stop (its clips
    // are then closed or removed).
    int IsExporting() const { return m_exporting || m_engineRunning ? 1 : 0; }
    bool HasNoPlayHandle() const { return m_handles.empty(); }
    bool HasFileManager() const { return !m_fileManager.expired(); }
    int GetBusyState() const { return m_busyState; }
    const std::map<int, _EXPORT_FILE_INFO>& GetFileTable() const { return m_files; }
    const std::map<void*, _EXPORT_HANDLE_INFO>& GetHandleTable() const { return m_handles; }
    // The time line's span (0 when nothing is drawn).
    std::uint32_t GetSpanStart() const { return m_spanStart; }
    std::uint32_t GetSpanEnd() const { return m_spanEnd; }

    // Tree items checked, unchecked and double-clicked.
    void OpenChannel(const std::wstring& group, int dayKey, int channelKey);
    void CloseChannel(const std::wstring& group, int dayKey, int channelKey);
    void OpenDay(const std::wstring& group, int dayKey);
    void CloseDay(const std::wstring& group, int dayKey);
    void OpenSingleFile(int fileId);
    void CloseSingleFile(int fileId);
    void PlayChannel(const std::wstring& group, int dayKey, int channelKey);

    // The small player.
    void PlayCurrent();
    void Pause();
    void PlayNext();
    void PlayPrev();
    void SetPlaySpeed(float speed);
    void Seek(std::uint32_t time, int which);

    // Removal and closing.
    void DeleteSingleFile(int fileId);
    void DeleteChannel(const std::wstring& group, int dayKey, int channelKey);
    void DeleteGroup(const std::wstring& group, int dayKey);
    void DeleteFilesAll();
    void SaveRefAll();

    // Export run. comboIndex: 0 JPG, 1 BMP, 2 KVX, 3 AVI.
    void StartExport(int comboIndex, const std::wstring& folder, std::uint32_t start, std::uint32_t end,
                     std::uint32_t interval);
    void StopExport();

    // Answers of the play logic.
    void Task_OnCreatePlayHandle(void* handle, int key);
    void Task_OnGetLocalIndexFailed(void* handle, int key);
    void Task_OnOpenFileWithNameSuccess(void* handle, int key);
    void Task_OnOpenFileFailed(int key);
    void Task_OnOpenFileSuccess(void* handle, int key);
    void Task_OnPlay(void* handle, int key);
    void Task_OnPause(void* handle, int key);
    void Task_OnStop(void* handle, int key);
    void Task_OnClose(void* handle, int key);
    void Task_OnDeletePlayHandle(void* handle, int key);
    void Task_OnDeleteFilesAll();
    void Task_OnAnalyseFileSuccess(void* handle, int key, std::uint64_t startPos, std::uint64_t endPos);
    void Task_OnAnalyseFileFailed(void* handle, int key);
    void Task_OnLookupsDropped(std::list<int> keys);

    // IPlayObjectListener
    int OnQTRenderSubWin(void* handle, boost::shared_ptr<unsigned char[]> frame, int width, int height,
                         boost::shared_ptr<SynSmartPtr> token) override;
    int OnDDRenderSubWinEx(void* handle, boost::shared_ptr<int> receiverToken, unsigned char* frame, int width,
                           int height, boost::shared_ptr<SynSmartPtr> token, int overlayPort,
                           int overlayValue) override;
    void OnFileRefFinished(void* handle, int value) override;
    void OnFileEnd(void* handle) override;
    void OnPlayTimeInfoChanged(void* handle, unsigned int start, unsigned int end) override;
    void OnPlayPositionChanged(void* handle, unsigned int position) override;

    // IExportObjectListener
    void OnExportEnd() override;
    void OnExportProgress(int percent) override;
    void OnExportStop() override;
    void OnExportFailed(int code) override;
    void OnExportClipCut(std::string target, std::string keptPath) override;
    void OnExportPicturesRenamed(std::string folder, int count) override;
    void OnExportClipRenamed(std::string target, std::string placedPath) override;
    void OnExportNothingPlayable(std::string source) override;

    // A lookup that failed while its recording's index was built is asked
    // again when the build's report comes; this wait only serves a library
    // that never reports (the count bounds it).
    static constexpr int kAnalyseRetryMs = 500;
    static constexpr int kAnalyseRetries = 7200;
    // Longest wait for the engine's report after a stop (its drain is bounded
    // by 60 s).
    static constexpr int kEngineStopWaitMs = 90000;
    void SetAnalyseRetryInterval(int ms) { m_analyseRetryMs = ms; }
    // Longest wait before the time line, the span and the player show what
    // answers outside a tree operation changed (a tree operation shows them
    // when its last answer came).
    static constexpr int kPageUpdateMs = 100;
    void SetPageUpdateInterval(int ms) { m_pageUpdateMs = ms; }

private:
    using FileTable = std::map<int, _EXPORT_FILE_INFO>;

    // Taking recordings onto the page.
    int AddChannelFiles(const std::wstring& group, int dayKey, int channelKey);
    int AddDayFiles(const std::wstring& group, int dayKey);
    int AddSingleFile(int fileId);
    int AddRecord(const CFileInfo& info, int fileId, int channelKey, int lineId, int dayKey,
                  const std::wstring& group, int isChannelFile);
    _EXPORT_FILE_INFO* Record(int key);
    _EXPORT_HANDLE_INFO* HandleOf(const _EXPORT_FILE_INFO& record);
    _EXPORT_HANDLE_INFO* HandleEntry(void* handle);
    bool IsChannelOf(const _EXPORT_FILE_INFO& record, const std::wstring& group, int dayKey) const;
    bool IsChannelOf(const _EXPORT_FILE_INFO& record, const std::wstring& group, int dayKey,
                     int channelKey) const;
    bool HasLiveHandle(const _EXPORT_FILE_INFO& record);
    void OpenAndPlay(const std::list<int>& openList, const std::list<int>& reopenList, int toPlay);
    void LockTree(int busyState);
    void UnlockWhenIdle();
    void CloseRecord(int key, _EXPORT_FILE_INFO& record);
    void ForgetPath(int key, const _EXPORT_FILE_INFO& record);
    std::list<int> RemoveRecords(const std::function<bool(const _EXPORT_FILE_INFO&)>& matches);

    // Requests to the play logic.
    void OpenFile(int key);
    void OpenFileWithName(int key, const std::wstring& path);
    void Play(int key);
    void Stop(int key);
    void StopAndReset(int key);
    void CloseFile(int key);
    void AddPending(int key, int op);
    void EndPending(int key, int op);
    template <class Method, class... Args>
    void PostPlay(Method method, const char* name, Args... args);
    template <class Method, class... Args>
    void PostExport(Method method, const char* name, Args... args);

    // Page, player and time line.
    void CheckItem(const _EXPORT_FILE_INFO& record, int check);
    void UncheckItem(const std::wstring& group, int key, int channelKey, int kind);
    void HilightItem(const _EXPORT_FILE_INFO& record, int hilight);
    CSFVideoWindow* VideoWindow();
    boost::shared_ptr<IExportTimeLine> TimeLine();
    void ClearPlayerWhenIdle();
    void UpdateChannelInfo(void* handle, int key);
    void UpdateSpan(bool movesCutMarks);
    void ComputeSpan(bool movesCutMarks);
    void RequestPageUpdate();
    void UpdatePage();
    void UpdateRows();
    void SettleClosedDays();
    std::wstring RowLabel(const _EXPORT_FILE_INFO& record) const;
    int CurrentKey();

    // Export run.
    bool HasFileOf4GiB(const std::list<int>& keys) const;
    std::optional<ExportRefusal> RefusalOf(int key) const;
    std::map<ExportRefusal, std::vector<std::wstring>> Unexportable(const std::list<int>& keys) const;
    void ClearExportMarks();
    void GiveUpEngineStop(int run);
    void ContinueAfterAnalysis(bool succeeded);
    void RetryAnalysis(int key, int round);
    void AskAgain(int key);
    void AskAgainWhenIndexed(int key, _EXPORT_HANDLE_INFO& entry);
    bool EndIndexWaits();
    void ShowPrepared();
    void AskKeyFrames(int key, const _EXPORT_FILE_INFO& record, _EXPORT_HANDLE_INFO& entry);
    // A file opened only for its key frames is closed again.
    void EndLookups(int key);
    std::wstring TargetOf(const _EXPORT_FILE_INFO& record) const;

    boost::weak_ptr<IExportView> m_page;
    boost::weak_ptr<CExportViewPlayLogic> m_playLogic;
    boost::weak_ptr<CExportViewExportLogic> m_exportLogic;
    boost::weak_ptr<CFileManager> m_fileManager;
    CSFVideoWindow* m_videoWindow = nullptr;
    boost::weak_ptr<IExportTimeLine> m_timeLine;
    int m_subWinId = 0;
    std::map<void*, _EXPORT_HANDLE_INFO> m_handles;
    int m_busyState = BUSY_NONE;
    FileTable m_files;
    std::set<int> m_pending;
    std::map<std::wstring, int> m_paths;
    // What answers changed, shown once per batch of them.
    struct RowUpdate {
        std::wstring name;  // for a row not on the time line yet
        std::vector<UISF_TimeSegment> segments;
    };
    std::map<int, RowUpdate> m_rowUpdates;                  // by line id
    std::set<std::pair<std::wstring, int>> m_closedDays;    // group, day key
    bool m_singleClosed = false;
    bool m_spanDue = false;
    bool m_spanMovesCutMarks = false;
    bool m_pageUpdatePosted = false;
    int m_pageUpdateMs = kPageUpdateMs;
    std::uint32_t m_spanStart = 0;
    std::uint32_t m_spanEnd = 0;
    std::uint32_t m_snapshotInterval = 0;
    std::uint32_t m_exportType = 0;
    std::uint32_t m_exportStart = 0;
    std::uint32_t m_exportEnd = 0;
    int m_exporting = 0;
    bool m_engineRunning = false;
    int m_engineRuns = 0;
    bool m_analysisFailed = false;
    std::set<int> m_analysesDue;  // file keys whose key-frame lookups are not over
    std::size_t m_analysesAsked = 0;  // of this export
    int m_preparedShown = -1;         // percent
    std::wstring m_unplayable;  // the recording the failing job found nothing to play in
    std::wstring m_exportFolder;
    float m_speed = 1.0f;
    int m_analyseRetryMs = kAnalyseRetryMs;
};
