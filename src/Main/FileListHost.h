#pragma once

#include <list>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"

class CFileManager;
class CMainFrameHelpLogic;
class IFileListOwner;

// The main window as its file logic sees it: the pages that show the file
// index, and the way to open a path again. The main frame implements it;
// tests use a double.
class IFileListHost {
public:
    virtual ~IFileListHost() = default;

    // The main page (empty before it exists).
    virtual boost::shared_ptr<IFileListOwner> GetFileListOwner() = 0;

    // After each rebuild of the list, in this order.
    // Watermark page: AddGroupFiles, then AddSingleFiles.
    virtual void FillWatermarkPage(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups,
                                   boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles) = 0;
    // Export page: UpdateFileManager(helpLogic), FillFileTree, AddFiles.
    virtual void FillExportPage(boost::shared_ptr<CMainFrameHelpLogic>& helpLogic,
                                boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups,
                                boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles) = 0;
    // Preview page: SetFiles.
    virtual void FillPreviewPage(boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles,
                                 boost::shared_ptr<std::vector<std::wstring>> paths) = 0;
    // Tab bar: the select-all box.
    virtual void SetSelectAllCheck(int check) = 0;

    // Export page, then settings page: SetFileManager.
    virtual void SetFileManager(boost::shared_ptr<CFileManager>& fileManager) = 0;
    // Settings page: rebuilds the opened-path list of the settings from the
    // file index.
    virtual void UpdateOpenedPaths() = 0;
    // Tab bar: removes every checked file from the lists and the index.
    virtual void DeleteCheckedFiles() = 0;
    // Opens the paths as the main frame's file drop does, in one build.
    virtual void OpenDroppedPaths(const std::vector<std::wstring>& paths) = 0;
};
