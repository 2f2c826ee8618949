#include "Main/MainFrameHelpLogic.h"

#include <algorithm>
#include <cstdint>

#include <sys/stat.h>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFAutoMutexLock.h"
#include "Base/SFSystem.h"
#include "Base/TextCodec.h"
#include "FileIndex/FileManager.h"
#include "Main/MainFrameHelpListener.h"
#include "PageServices/FileManagerQuery.h"

namespace {

constexpr const char* kSourceText = ".\\Main\\MainFrame_HelpLogic";

// A path that cannot be read counts as a folder.
bool IsFolderOrMissing(const std::wstring& path)
{
    struct stat st;
    if (::stat(SF_SOFT_BASE::WideToUtf8(path).c_str(), &st) != 0)
        return true;
    return S_ISDIR(st.st_mode);
}

void PostAnswer(const boost::shared_ptr<LumivexBase::CSFTask>& task, int line, const char* answerText,
                const char* posterText)
{
    LumivexBase::PostTaskToLoop(LumivexBase::ML_MAIN, task, kSourceText, line, answerText, posterText);
}

}  // namespace

boost::shared_ptr<CMainFrameHelpLogic> CMainFrameHelpLogic::Create(boost::weak_ptr<IMainFrameHelpListener> owner,
                                                                   const std::list<std::wstring>* extensions)
{
    boost::shared_ptr<CMainFrameHelpLogic> logic(new CMainFrameHelpLogic(std::move(owner)));
    logic->Init(extensions);
    return logic;
}

CMainFrameHelpLogic::CMainFrameHelpLogic(boost::weak_ptr<IMainFrameHelpListener> owner)
    : m_owner(std::move(owner))
{
}

CMainFrameHelpLogic::~CMainFrameHelpLogic()
{
    // The file manager may outlive this object in other hands.
    m_fileManager->SetListener(nullptr);
}

void CMainFrameHelpLogic::Init(const std::list<std::wstring>* extensions)
{
    m_fileManager = boost::shared_ptr<CFileManager>(new CFileManager(this, extensions));
}

std::wstring CMainFrameHelpLogic::MakeScanPattern(const std::wstring& path)
{
    if (path.empty())
        return {};  // names no folder (not the root)
    std::wstring folder = path;
    if (IsFolderOrMissing(path)) {
        if (folder.empty() || folder.back() != L'/')
            folder += L'/';
    } else {
        const std::size_t slash = folder.rfind(L'/');
        folder = slash == std::wstring::npos ? std::wstring(L"./") : folder.substr(0, slash + 1);
    }
    return folder + L"*.*";
}

void CMainFrameHelpLogic::Task_BuildFileList(boost::shared_ptr<std::wstring> path)
{
    if (path)
        BuildFileLists(1, [&path](std::size_t) { return MakeScanPattern(*path); });
}

boost::shared_ptr<std::vector<std::string>> CMainFrameHelpLogic::PackPaths(const std::vector<std::wstring>& paths)
{
    auto packed = boost::make_shared<std::vector<std::string>>();
    packed->reserve(paths.size());
    for (const std::wstring& path : paths)
        packed->push_back(SF_SOFT_BASE::WideToUtf8(path));
    return packed;
}

void CMainFrameHelpLogic::Task_BuildFileLists(boost::shared_ptr<std::vector<std::string>> paths)
{
    if (!paths || paths->empty())
        return;
    // Each pattern is made when its folder is scanned.
    BuildFileLists(paths->size(), [&paths](std::size_t i) {
        return MakeScanPattern(SF_SOFT_BASE::Utf8ToWide((*paths)[i]));
    });
    // What the list and the scan held goes back to the system (the posted
    // task keeps the pointer until it is destroyed).
    std::vector<std::string>().swap(*paths);
    SF_SOFT_BASE::CSFSystem::GiveBackFreedMemory();
}

void CMainFrameHelpLogic::BuildFileLists(std::size_t count, const std::function<std::wstring(std::size_t)>& patternAt)
{
    std::vector<int> noMatches;
    m_fileManager->LoadPaths(count, patternAt, &noMatches);
    const int emptyFolders = int(std::count(noMatches.begin(), noMatches.end(), 1));
    const int noMatch = emptyFolders == int(noMatches.size()) ? 1 : 0;

    boost::shared_ptr<IMainFrameHelpListener> owner = m_owner.lock();
    if (!owner)
        return;
    auto groups = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    auto singles = boost::make_shared<std::list<_SINGLE_FILE_INFO>>();
    auto filePaths = boost::make_shared<std::vector<std::wstring>>();
    const bool hasGroups = m_fileManager->GetGroupFileList(groups.get(), filePaths.get());
    const bool hasSingles = m_fileManager->GetSingleFileList(singles.get(), nullptr);
    // Also answered when nothing matched, so that the user hears of it.
    if (!hasGroups && !hasSingles && emptyFolders == 0)
        return;
    PostAnswer(
        LumivexBase::MakeTask(&IMainFrameHelpListener::Task_GenerateFileList_Ret, owner, groups, singles,
                              filePaths, noMatch, emptyFolders),
        __LINE__, "&CMainFrameUILogic::Task_GenerateFileList_Ret", "CMainFrameHelpLogic::BuildFileLists");
}

void CMainFrameHelpLogic::Task_GetFilePath(QUERY_FILEPATH_TYPE type, unsigned int key, std::wstring group,
                                           boost::shared_ptr<std::map<int, void*>> channelFilter,
                                           boost::shared_ptr<IFileManagerQuery> replyTarget, int window)
{
    auto files = boost::make_shared<std::list<_QUERY_FILE_INFO>>();
    CollectFiles(type, static_cast<int>(key), group, channelFilter.get(), window, *files);
    if (!replyTarget || files->empty())
        return;
    PostAnswer(LumivexBase::MakeTask(&IFileManagerQuery::Task_GetFilePath_Ret, replyTarget, files),
                                  __LINE__, "&IFileManagerQuery::Task_GetFilePath_Ret",
                                  "CMainFrameHelpLogic::Task_GetFilePath");
}

void CMainFrameHelpLogic::SetNameTimes(const CFileInfo& record, _QUERY_FILE_INFO& file)
{
    // The span its name gives, so that files not yet opened have their place in time.
    const std::uint32_t start = record.GetStartTime()->ToTime();
    const std::uint32_t end = record.GetEndTime()->ToTime();
    if (start == 0 || end <= start || end > std::uint32_t(INT32_MAX))
        return;
    file.startTime = std::int32_t(start);
    file.endTime = std::int32_t(end);
}

void CMainFrameHelpLogic::CollectFiles(QUERY_FILEPATH_TYPE type, int key, const std::wstring& group,
                                       const std::map<int, void*>* channelFilter, int window,
                                       std::list<_QUERY_FILE_INFO>& files)
{
    SF_SOFT_BASE::CSFAutoMutexLock lock(m_fileManager->GetLock());
    if (type == QUERY_FILEPATH_SINGLE) {
        const CFileInfo* record = m_fileManager->GetFileInfo(key);
        if (!record)
            return;
        _QUERY_FILE_INFO file;
        file.path = record->GetPathString();
        file.queryType = QUERY_FILEPATH_SINGLE;
        file.requestKey = key;
        file.channelKey = FileIndexKeys::kSingleFileChannel;
        file.window = window;
        file.fileId = key;
        files.push_back(std::move(file));
        return;
    }
    if (type != QUERY_FILEPATH_CHANNEL && type != QUERY_FILEPATH_DAY)
        return;
    const _CHANNEL_MAP* channels = m_fileManager->FindChannelMap(group.c_str(), key);
    if (!channels)
        return;
    const bool filtered = channelFilter && !channelFilter->empty();
    for (const auto& [channelKey, channel] : *channels) {
        if (filtered && !channelFilter->count(channelKey))
            continue;
        for (const auto& [startKey, record] : channel->files) {
            _QUERY_FILE_INFO file;
            file.path = record->GetPathString();
            file.queryType = type;
            file.requestKey = key;
            file.channelKey = channelKey;
            file.window = window;
            file.fileId = startKey;
            SetNameTimes(*record, file);
            files.push_back(std::move(file));
        }
    }
}

void CMainFrameHelpLogic::Task_GetFileManager()
{
    boost::shared_ptr<IMainFrameHelpListener> owner = m_owner.lock();
    if (!owner)
        return;
    PostAnswer(
        LumivexBase::MakeTask(&IMainFrameHelpListener::Task_GetFileManager_Ret, owner, m_fileManager), __LINE__,
        "&CMainFrameUILogic::Task_GetFileManager_Ret", "CMainFrameHelpLogic::Task_GetFileManager");
}

void CMainFrameHelpLogic::Task_DelCertainFile(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> items)
{
    if (!items)
        return;
    for (const _GROUP_FILE_INFO& item : *items) {
        if (item.channels.empty()) {
            m_fileManager->RemoveFiles(L"", 0, FileIndexKeys::kSingleFileChannel, item.key);
            continue;
        }
        for (const auto& [channelKey, handle] : item.channels)
            m_fileManager->RemoveFiles(item.groupName.c_str(), item.key, channelKey, 0);
    }
}
