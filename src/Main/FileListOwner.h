#pragma once

#include <string>

#include <boost/shared_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"
#include "Platform/Win32/Win32Types.h"

class CFileListEventImp;
class CMainFrameUILogic;
class CSFVideoWindow;

// The main page as its file list and the main frame's file logic see it:
// the panel's place, the grid the files play in, and the way back to the
// main frame. The main page implements it; tests use a double.
class IFileListOwner {
public:
    virtual ~IFileListOwner() = default;

    // The main page's file list (empty before it exists).
    virtual boost::shared_ptr<CFileListEventImp> GetFileList() = 0;
    // The native window the file-list panel is created in.
    virtual void* GetFileListParentWnd() = 0;
    // 1 expands the file-list panel, 0 slides it aside.
    virtual void ShowFileList(int expand) = 0;
    // Hands a key of the file list on to the main frame's shortcuts.
    virtual void PassKeyToMainFrame(UINT modifiers, UINT key) = 0;
    // The main frame's file logic, the reply target of play requests.
    virtual boost::shared_ptr<CMainFrameUILogic> GetMainFrameUILogic() = 0;

    // The main page's play logic (CPlayManagerUILogic).
    virtual int GetWantedReturnNum() = 0;
    virtual void SetWantedReturnNum(int count) = 0;
    virtual void SetWantedShowNum(int count) = 0;
    virtual void SetSynPlay(int on) = 0;
    virtual void ResetPlayStates() = 0;
    // (0, -1) closes the files of every window.
    virtual void CloseFiles(int certain, int window) = 0;
    virtual void StartPlayOneFile(std::wstring path, boost::shared_ptr<_QUERY_FILE_INFO> file, int syncPlay) = 0;

    // The play bar: Sync Play's check state; a button's check state.
    virtual int IsSyncPlay() = 0;
    virtual void UpdatePlayBarButton(int id, int check) = 0;
    // The grid (null before it exists).
    virtual CSFVideoWindow* GetVideoWindow() = 0;
    // The layout bar: clicks the smallest layout holding count windows.
    virtual int SelectLayoutByWndCount(int count) = 0;
    // The main time line's panel display flag.
    virtual void SetTimeLineDisplayFlag(int on) = 0;
};
