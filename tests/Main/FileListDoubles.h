#pragma once

// Stand-ins for the main frame, the main page and its grid, as the file
// list and the main frame's file logic use them.

#include <QWidget>

#include <string>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/make_shared.hpp>

#include "Main/FileListEventImp.h"
#include "Main/FileListHost.h"
#include "Main/FileListOwner.h"
#include "Main/MainFrameUILogic.h"
#include "Widgets/SFVideoWindow.h"

// Grid whose window ids are 100 + index of the current layout.
class FakeGrid : public CSFVideoWindow {
public:
    FakeGrid() : CSFVideoWindow(nullptr) {}
    int GetCurrentSubWinID() override { return currentWindow; }
    int GetSubWinIDByIndex(int index) override
    {
        calls.push_back("id:" + std::to_string(index) + "@" + std::to_string(layout));
        return 100 + index;
    }

    int currentWindow = 7;
    int layout = 0;
    std::vector<std::string> calls;
};

struct StartedFile {
    std::wstring path;
    _QUERY_FILE_INFO record;
    int sync;
};

class FakeMainPage : public IFileListOwner {
public:
    boost::shared_ptr<CFileListEventImp> GetFileList() override { return fileList; }
    void* GetFileListParentWnd() override { return &parent; }
    void ShowFileList(int expand) override { shown.push_back(expand); }
    void PassKeyToMainFrame(UINT modifiers, UINT key) override { keys.emplace_back(modifiers, key); }
    boost::shared_ptr<CMainFrameUILogic> GetMainFrameUILogic() override { return uiLogic; }

    int GetWantedReturnNum() override { return wantedReturn; }
    void SetWantedReturnNum(int count) override { wantedReturn = count; }
    void SetWantedShowNum(int count) override { wantedShow = count; }
    void SetSynPlay(int on) override { calls.push_back("sync:" + std::to_string(on)); }
    void ResetPlayStates() override { calls.push_back("reset"); }
    void CloseFiles(int certain, int window) override
    {
        calls.push_back("close:" + std::to_string(certain) + "," + std::to_string(window));
    }
    void StartPlayOneFile(std::wstring path, boost::shared_ptr<_QUERY_FILE_INFO> file, int sync) override
    {
        started.push_back({path, *file, sync});
    }
    int IsSyncPlay() override { return syncPlay; }
    void UpdatePlayBarButton(int id, int check) override
    {
        calls.push_back("button:" + std::to_string(id) + "," + std::to_string(check));
    }
    CSFVideoWindow* GetVideoWindow() override { return &grid; }
    int SelectLayoutByWndCount(int count) override
    {
        grid.layout = count;
        calls.push_back("layout:" + std::to_string(count));
        return 1;
    }
    void SetTimeLineDisplayFlag(int on) override { calls.push_back("timeline:" + std::to_string(on)); }

    // Started paths by their file name, with the window.
    std::vector<std::pair<std::wstring, int>> StartedNames() const
    {
        std::vector<std::pair<std::wstring, int>> names;
        for (const StartedFile& file : started)
            names.emplace_back(file.path.substr(file.path.rfind(L'/') + 1), file.record.window);
        return names;
    }

    // The panel outlives its widgets, which go with the parent.
    boost::shared_ptr<CFileListEventImp> fileList;
    boost::shared_ptr<CMainFrameUILogic> uiLogic;
    QWidget parent;
    FakeGrid grid;
    int wantedReturn = 0;
    int wantedShow = -2;
    int syncPlay = 0;
    std::vector<int> shown;
    std::vector<std::pair<UINT, UINT>> keys;
    std::vector<std::string> calls;
    std::vector<StartedFile> started;
};

class FakeMainFrame : public IFileListHost {
public:
    boost::shared_ptr<IFileListOwner> GetFileListOwner() override
    {
        return owner ? owner : boost::shared_ptr<IFileListOwner>(page);
    }
    void FillWatermarkPage(GroupFileListP groups, SingleFileListP singles) override
    {
        calls.push_back("watermark:" + Sizes(groups, singles));
    }
    void FillExportPage(boost::shared_ptr<CMainFrameHelpLogic>& helpLogic, GroupFileListP groups,
                        SingleFileListP singles) override
    {
        calls.push_back(std::string("export:") + (helpLogic ? "logic," : "none,") + Sizes(groups, singles));
    }
    void FillPreviewPage(SingleFileListP singles, boost::shared_ptr<std::vector<std::wstring>> paths) override
    {
        calls.push_back("preview:" + std::to_string(singles->size()) + "," + std::to_string(paths->size()));
    }
    void SetSelectAllCheck(int check) override { calls.push_back("selectall:" + std::to_string(check)); }
    void SetFileManager(boost::shared_ptr<CFileManager>& manager) override
    {
        calls.push_back(manager ? "manager" : "no manager");
    }
    void UpdateOpenedPaths() override { calls.push_back("openedpaths"); }
    void DeleteCheckedFiles() override { calls.push_back("delete"); }
    void OpenDroppedPaths(const std::vector<std::wstring>& paths) override
    {
        opened.insert(opened.end(), paths.begin(), paths.end());
    }

    static std::string Sizes(const GroupFileListP& groups, const SingleFileListP& singles)
    {
        return std::to_string(groups->size()) + "," + std::to_string(singles->size());
    }

    boost::shared_ptr<FakeMainPage> page = boost::make_shared<FakeMainPage>();
    // Another main page in place of the stand-in, when set.
    boost::shared_ptr<IFileListOwner> owner;
    std::vector<std::string> calls;
    std::vector<std::wstring> opened;
};
