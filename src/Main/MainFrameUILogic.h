#pragma once

#include <list>
#include <string>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"
#include "Main/MainFrameHelpListener.h"
#include "PageServices/FileManagerQuery.h"

class CFileManager;
class CMainFrameHelpLogic;
class IFileListHost;
class IFileListOwner;

// The GUI-thread half of the main frame's file logic: asks the help logic
// to build the file list for every opened path, hands each rebuilt list to
// the pages, and turns the answers of file-path requests into play requests
// on the main page's grid.
class CMainFrameUILogic : public IFileManagerQuery,
                          public IMainFrameHelpListener,
                          public boost::enable_shared_from_this<CMainFrameUILogic> {
public:
    // Most windows a day's channels are spread over.
    static constexpr int kMaxDayWindows = 36;
    // An answer for a particular window waits this long between tries while
    // files are still opening, at most kMaxRetries times.
    static constexpr int kRetryIntervalMs = 100;
    static constexpr int kMaxRetries = 50;

    // extensions: the supported record extensions (null: the default list).
    static boost::shared_ptr<CMainFrameUILogic> Create(const boost::shared_ptr<IFileListHost>& owner,
                                                       const std::list<std::wstring>* extensions = nullptr);
    ~CMainFrameUILogic() override;

    boost::shared_ptr<CMainFrameHelpLogic> GetHelpLogic() const { return m_helpLogic; }

    // Keeps the path last opened; GenerateFileList posts its build.
    void SetDropFiles(boost::shared_ptr<std::wstring> path);
    void GenerateFileList(boost::shared_ptr<std::wstring> path);
    // One build of the folders of all the paths, answered once.
    void GenerateFileLists(boost::shared_ptr<std::vector<std::string>> paths);

    void Task_GenerateFileList_Ret(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups,
                                   boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles,
                                   boost::shared_ptr<std::vector<std::wstring>> paths, int noMatch,
                                   int emptyFolders) override;
    void Task_GetFileManager_Ret(boost::shared_ptr<CFileManager> manager) override;
    void Task_GetFilePath_Ret(boost::shared_ptr<std::list<_QUERY_FILE_INFO>> files) override;

    // Plays the path last opened when it names an indexed recording.
    void PlayDropDownFile(const boost::shared_ptr<std::list<_GROUP_FILE_INFO>>& groups,
                          const boost::shared_ptr<std::list<_SINGLE_FILE_INFO>>& singles);
    // True when every file of the list is a regular file (or a link to one)
    // that can be opened for reading; never blocks on a FIFO.
    static bool AreAllFilesPresent(const std::list<_QUERY_FILE_INFO>& files);
    // Closes all windows, drops every listed file and opens the remembered
    // paths again.
    void ReloadFiles();

private:
    explicit CMainFrameUILogic(const boost::shared_ptr<IFileListHost>& owner,
                               const std::list<std::wstring>* extensions);
    void HandleFilePaths(boost::shared_ptr<std::list<_QUERY_FILE_INFO>> files, int attempt);
    void RetryLater(boost::shared_ptr<std::list<_QUERY_FILE_INFO>> files, int attempt);
    static std::vector<const _QUERY_FILE_INFO*> PickFilesToPlay(const std::list<_QUERY_FILE_INFO>& files,
                                                                bool wholeDay, int& runs);
    void PlayFiles(IFileListOwner& page, const std::list<_QUERY_FILE_INFO>& files);
    static bool StepPastPlayingFile(IFileListOwner& page, const _QUERY_FILE_INFO& file);
    bool PlayRecording(const std::wstring& fileName,
                       const std::list<_GROUP_FILE_INFO>& groups);
    bool PlaySingleFile(const std::wstring& path, const std::list<_SINGLE_FILE_INFO>& singles);
    boost::shared_ptr<IFileListOwner> GetOwnerPage() const;

    boost::weak_ptr<IFileListHost> m_owner;
    boost::shared_ptr<CMainFrameHelpLogic> m_helpLogic;
    boost::shared_ptr<std::wstring> m_openedPath;
    std::list<std::wstring> m_extensions;
};
