#pragma once

#include <cstdint>
#include <map>
#include <string>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Base/SFTimer.h"
#include "Preview/PreviewPagePlayLogic.h"
#include "Preview/PreviewPlayReceiver.h"

class CPreviewSimplePlayerEventImp;
class CPreviewTimeLineViewEventImp;
class CSFVideoWindow;

// The GUI-loop half of the slice player: previews one recording as N slices
// side by side. The file is opened once (the main handle, which builds or
// loads the index), then one play object per sub-window is opened, sought to
// k/N of the span and paused there; each slice gets a time-line row "k/N".
class CPreviewSimplePlayerUILogic : public IPreviewPlayReceiver,
                                    public boost::enable_shared_from_this<CPreviewSimplePlayerUILogic> {
public:
    explicit CPreviewSimplePlayerUILogic(const boost::shared_ptr<CPreviewSimplePlayerEventImp>& owner);
    ~CPreviewSimplePlayerUILogic() override;

    void SetPlayLogic(const boost::shared_ptr<CPreviewPagePlayLogic>& playLogic);
    boost::shared_ptr<CPreviewSimplePlayerEventImp> GetOwnerView() override;

    void LoadFile(std::wstring file);
    void StopPlay();
    void CloseFiles();
    void Seek(void* handle, unsigned int position, int slice);
    int StepBackward();
    int StepForward();
    void SetPlaySpeed(float speed);
    void Pause(int pause);
    void PauseOne(int subWindowId);
    void ProcDestroy();
    void SetClosing() { m_closing = 1; }
    int IsLoading() const { return m_loading; }
    // Sub-window id -> slice index (the slice's time-line row).
    std::map<int, int> GetSliceMap() const { return m_sliceMap; }
    const std::map<int, void*>& GetOpenSlices() const { return m_openSlices; }
    unsigned int GetSliceCount() const { return m_sliceCount; }
    float GetSpeed() const { return m_speed; }

    // Replies of the play logic.
    void Task_OnLoadFileSuccess(void* handle, int ok) override;
    void Task_NotEnoughRomAssigned() override;
    void Task_CloseFilesRet(void* handle) override;
    void Task_SaveIndexRet(void* handle, int saved) override;
    void Task_PreviewRet(void* sourceHandle, void* sliceHandle, int ok, int sliceIndex,
                         std::wstring errorText, unsigned int fileStart,
                         unsigned int fileEnd) override;
    void Task_PauseOneRet(void* handle, int result) override;

    // Play-object callbacks.
    int OnQTRenderSubWin(void* handle, boost::shared_ptr<unsigned char[]> frame, int width,
                         int height, boost::shared_ptr<SynSmartPtr> token) override;
    int OnRenderSubWin(void* handle, boost::shared_ptr<unsigned char[]> buffer, int value1,
                       int value2, int value3) override;
    int OnDDRenderSubWinEx(void* handle, boost::shared_ptr<int> receiverToken, unsigned char* frame,
                           int width, int height, boost::shared_ptr<SynSmartPtr> token,
                           int overlayPort, int overlayValue) override;
    void OnFileRefFinished(void* handle, int ok) override;
    void OnFileEnd(void* handle) override;
    void OnPlayPositionChanged(void* handle, unsigned int time) override;
    void OnSeekSuccess(void* handle) override;

private:
    static void OnLoadTimer(std::int32_t timerId, std::uintptr_t self);
    bool Guarded() const { return m_closing || m_stopRequested; }
    bool CheckNotLoading();
    bool CheckStepAllowed();
    PreviewHandleListPtr SliceHandles() const;
    // Sub-window of an open slice; -1 when the handle is no slice.
    int SubWindowOf(void* handle) const;
    int SliceIndexOf(int subWindowId) const;
    void CloseNextSlice();
    // Checks and opens the file after a closing chain; false when it was refused
    // with a message and the controls need no further reset.
    bool OpenFile();
    void ResetAfterStop();
    // Un-marks the file list's item, so that the file can be picked again.
    void ClearFileListItem();
    // A file that failed its checks: neither reopened nor marked.
    void ForgetFile();
    void EndBuildControls();
    void ResetSpeedControls();
    void SetStatusText(const wchar_t* text);
    void EnableSlices(int enable);
    void ShowStopButton(int show);
    int ReadSliceCount();
    CSFVideoWindow* VideoWindow();
    boost::shared_ptr<CPreviewTimeLineViewEventImp> TimeLine();

    std::map<int, int> m_sliceMap;
    std::map<int, void*> m_openSlices;
    boost::weak_ptr<CPreviewSimplePlayerEventImp> m_owner;
    boost::weak_ptr<CPreviewPagePlayLogic> m_playLogic;
    void* m_mainHandle = nullptr;
    unsigned int m_sliceCount = 0;
    std::wstring m_file;
    int m_busy = 0;
    int m_closing = 0;
    int m_loading = 0;
    int m_pausedCount = 0;
    int m_stopRequested = 0;
    int m_reopen = 1;
    int m_stopResetsStatus = 1;
    CSFTimer m_loadTimer;
    float m_speed = 1.0f;
    int m_indexReported = 0;
};
