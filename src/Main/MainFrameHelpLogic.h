#pragma once

#include <functional>
#include <list>
#include <map>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"
#include "FileIndex/FileManagerListener.h"
#include "PageServices/FileIndexService.h"

class CFileManager;
class IFileManagerQuery;
class IMainFrameHelpListener;

// The main frame's worker-side logic: owns the file manager and runs every
// operation on it as a task on the helper loop; answers go to the GUI loop.
// The pages reach it as their IFileIndexService.
class CMainFrameHelpLogic : public IFileManagerListener, public IFileIndexService {
public:
    // extensions: the supported record extensions (null: the default list).
    static boost::shared_ptr<CMainFrameHelpLogic> Create(boost::weak_ptr<IMainFrameHelpListener> owner,
                                                         const std::list<std::wstring>* extensions = nullptr);

    ~CMainFrameHelpLogic() override;

    // Loads the folder of the path (a folder, or a file whose whole folder is
    // loaded) and answers with the whole index.
    void Task_BuildFileList(boost::shared_ptr<std::wstring> path);
    // Loads the folders of every path (in UTF-8, see PackPaths) in turn and
    // answers once; the list is the task's own and is emptied after.
    void Task_BuildFileLists(boost::shared_ptr<std::vector<std::string>> paths);
    // The paths as Task_BuildFileLists takes them: UTF-8, the file system's
    // own form and a quarter of the wide one (the remembered folders can be
    // tens of thousands of long names).
    static boost::shared_ptr<std::vector<std::string>> PackPaths(const std::vector<std::wstring>& paths);
    // Looks up the files of a single-file id, or of a group day limited to the
    // channels of a non-empty filter; answers the reply target when any
    // were found.
    void Task_GetFilePath(QUERY_FILEPATH_TYPE type, unsigned int key, std::wstring group,
                          boost::shared_ptr<std::map<int, void*>> channelFilter,
                          boost::shared_ptr<IFileManagerQuery> replyTarget, int window) override;
    void Task_GetFileManager() override;
    // Removes list items: group days by their channels, single files by id.
    void Task_DelCertainFile(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> items);

    // The file list is built from the answers of Task_BuildFileList.
    void OnSingleFile(int, CFileInfo*) override {}
    void OnGroupDay(const wchar_t*, int, SF_SOFT_BASE::CSFDateTime*, std::vector<int>*) override {}

    boost::shared_ptr<CFileManager> GetFileManager() const { return m_fileManager; }

    // The scan pattern ("<folder>/*.*") for a path given to Task_BuildFileList;
    // empty for an empty path.
    static std::wstring MakeScanPattern(const std::wstring& path);

private:
    explicit CMainFrameHelpLogic(boost::weak_ptr<IMainFrameHelpListener> owner);
    void Init(const std::list<std::wstring>* extensions);
    void CollectFiles(QUERY_FILEPATH_TYPE type, int key, const std::wstring& group,
                      const std::map<int, void*>* channelFilter, int window,
                      std::list<_QUERY_FILE_INFO>& files);
    // One load of count folders, pattern i made by patternAt(i); one answer.
    void BuildFileLists(std::size_t count, const std::function<std::wstring(std::size_t)>& patternAt);
    static void SetNameTimes(const CFileInfo& record, _QUERY_FILE_INFO& file);

    boost::weak_ptr<IMainFrameHelpListener> m_owner;
    boost::shared_ptr<CFileManager> m_fileManager;
};
