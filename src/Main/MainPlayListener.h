#pragma once

#include <map>
#include <utility>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "PlayManager/IPlayObjectListener.h"

class CPlayManagerUILogic;
class CSFVideoWindow;
struct _QUERY_FILE_INFO;

// Turns the main page's play-object reports into frames in the grid, rows
// on the main time line, saved indexes and next-file decisions.
class CMainPlayListener : public IPlayObjectListener {
public:
    CMainPlayListener(boost::weak_ptr<CPlayManagerUILogic> uiLogic, CSFVideoWindow* videoWindow);

    int OnQTRenderSubWin(void* handle, boost::shared_ptr<unsigned char[]> frame, int width, int height,
                         boost::shared_ptr<SynSmartPtr> token) override;
    bool TakesPlanarQtFrames() const override { return true; }
    int OnQTPlanarSubWin(void* handle, boost::shared_ptr<unsigned char[]> frame, int width, int height,
                         boost::shared_ptr<SynSmartPtr> token) override;
    int OnDDRenderSubWinEx(void* handle, boost::shared_ptr<int> receiverToken, unsigned char* frame, int width,
                           int height, boost::shared_ptr<SynSmartPtr> token, int overlayPort,
                           int overlayValue) override;
    void OnFileRefFinished(void* handle, int success) override;
    void OnFileEnd(void* handle) override;
    void OnFileEndReached(void* handle, int forward) override;
    void OnPlayTimeInfoChanged(void* handle, unsigned int start, unsigned int end) override;
    void OnPlayPositionChanged(void* handle, unsigned int time) override;
    void OnGetDDOffScreenSurfaceRequest(void*, int, int) override {}
    void OnRecordFailed(void* handle, std::wstring keptPath, unsigned int keptSeconds) override;

    // A time span that came before its file's open result; taken out.
    bool TakePendingTimeInfo(void* handle, unsigned int& start, unsigned int& end);

    // The time-line label of an entry: the file name for a single file,
    // else "Channel<n>_main" or "Channel<n>_extra<s>".
    static std::wstring MakeRecordLabel(const _QUERY_FILE_INFO& entry);

private:
    bool GridAlive(const boost::shared_ptr<CPlayManagerUILogic>& ui) const;
    // False when the page or its grid is gone; else the window showing
    // handle's file (-1: none).
    bool WindowToDraw(void* handle, int& window) const;
    void ActOnEndInList(const boost::shared_ptr<CPlayManagerUILogic>& ui, void* handle, int window,
                        const _QUERY_FILE_INFO& entry);

    boost::weak_ptr<CPlayManagerUILogic> m_uiLogic;
    CSFVideoWindow* m_videoWindow;
    std::map<void*, std::pair<unsigned int, unsigned int>> m_pendingTimeInfo;
};
