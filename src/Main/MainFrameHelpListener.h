#pragma once

#include <list>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"

class CFileManager;

// The GUI-side owner of the worker logic: receives its answers on the GUI
// loop.
class IMainFrameHelpListener {
public:
    virtual ~IMainFrameHelpListener() = default;
    // The whole index after one or more folders were loaded; noMatch is 1
    // when none of them held a file of a supported type, emptyFolders counts
    // those that held none.
    virtual void Task_GenerateFileList_Ret(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups,
                                           boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles,
                                           boost::shared_ptr<std::vector<std::wstring>> paths,
                                           int noMatch, int emptyFolders) = 0;
    virtual void Task_GetFileManager_Ret(boost::shared_ptr<CFileManager> manager) = 0;
};
