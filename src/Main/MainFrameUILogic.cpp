#include "Main/MainFrameUILogic.h"

#include <unistd.h>

#include <QDebug>
#include <QTimer>

#include <boost/make_shared.hpp>

#include "Base/FileSystemHelpers.h"
#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/TextCodec.h"
#include "Common/ConfigManager.h"
#include "Common/FileNameHelpers.h"
#include "Common/LangString.h"
#include "Common/UserMessages.h"
#include "FileIndex/NamingRuleParser.h"
#include "FileIndex/RecordFormats.h"
#include "Main/FileListEventImp.h"
#include "Main/FileListHost.h"
#include "Main/FileListOwner.h"
#include "Main/MainFrameHelpLogic.h"
#include "Main/PathNames.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFVideoWindow.h"
#include "Main/MainLog.h"

namespace {

constexpr const char* kSourceText = ".\\Main\\MainFrame_UILogic";
constexpr int kReverseRadioId = 158;

void Notify(const wchar_t* key)
{
    ShowNotifyMessage(GetLangString(key), true);
}

std::list<std::wstring> PickExtensions(const std::list<std::wstring>* extensions)
{
    if (extensions && !extensions->empty())
        return *extensions;
    const std::list<std::wstring>& settings = CConfigManager::GetInstance()->GetRecordFormats();
    return settings.empty() ? FileIndexFormats::GetDefaultRecordFormats() : settings;
}

boost::shared_ptr<_QUERY_FILE_INFO> MakePlayRecord(const _QUERY_FILE_INFO& answer, int window)
{
    auto record = boost::make_shared<_QUERY_FILE_INFO>();
    record->path = answer.path;
    record->queryType = answer.queryType;
    record->requestKey = answer.requestKey;
    record->channelKey = answer.channelKey;
    record->fileId = answer.fileId;
    record->startTime = answer.startTime;
    record->endTime = answer.endTime;
    record->endMark = 0;
    record->directionMark = 1;
    record->pauseMark = 0;
    record->indexMark = 0;
    record->fileType = GetFileTypeByExtension(answer.path);
    record->window = window;
    return record;
}

}  // namespace

boost::shared_ptr<CMainFrameUILogic> CMainFrameUILogic::Create(const boost::shared_ptr<IFileListHost>& owner,
                                                               const std::list<std::wstring>* extensions)
{
    boost::shared_ptr<CMainFrameUILogic> logic(new CMainFrameUILogic(owner, extensions));
    logic->m_helpLogic = CMainFrameHelpLogic::Create(
        boost::weak_ptr<IMainFrameHelpListener>(boost::shared_ptr<IMainFrameHelpListener>(logic)),
        &logic->m_extensions);
    return logic;
}

CMainFrameUILogic::CMainFrameUILogic(const boost::shared_ptr<IFileListHost>& owner,
                                     const std::list<std::wstring>* extensions)
    : m_owner(owner), m_extensions(PickExtensions(extensions))
{
}

CMainFrameUILogic::~CMainFrameUILogic() = default;

boost::shared_ptr<IFileListOwner> CMainFrameUILogic::GetOwnerPage() const
{
    boost::shared_ptr<IFileListHost> owner = m_owner.lock();
    return owner ? owner->GetFileListOwner() : boost::shared_ptr<IFileListOwner>();
}

void CMainFrameUILogic::SetDropFiles(boost::shared_ptr<std::wstring> path)
{
    m_openedPath = std::move(path);
}

void CMainFrameUILogic::GenerateFileList(boost::shared_ptr<std::wstring> path)
{
    LumivexBase::PostTaskToLoop(LumivexBase::ML_HELPER,
                                LumivexBase::MakeTask(&CMainFrameHelpLogic::Task_BuildFileList, m_helpLogic, path),
                                kSourceText, __LINE__, "&CMainFrameHelpLogic::Task_BuildFileList",
                                "CMainFrameUILogic::GenerateFileList");
}

void CMainFrameUILogic::GenerateFileLists(boost::shared_ptr<std::vector<std::string>> paths)
{
    LumivexBase::PostTaskToLoop(LumivexBase::ML_HELPER,
                                LumivexBase::MakeTask(&CMainFrameHelpLogic::Task_BuildFileLists, m_helpLogic, paths),
                                kSourceText, __LINE__, "&CMainFrameHelpLogic::Task_BuildFileLists",
                                "CMainFrameUILogic::GenerateFileLists");
}

void CMainFrameUILogic::Task_GenerateFileList_Ret(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups,
                                                  boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singles,
                                                  boost::shared_ptr<std::vector<std::wstring>> paths, int noMatch,
                                                  int emptyFolders)
{
    if (emptyFolders != 0)
        Notify(L"No Video Files Found!");
    boost::shared_ptr<IFileListHost> owner = m_owner.lock();
    if (!owner || !groups || !singles || !paths)
        return;
    boost::shared_ptr<IFileListOwner> page = owner->GetFileListOwner();
    boost::shared_ptr<CFileListEventImp> fileList = page ? page->GetFileList() : nullptr;
    // The tree shows the index as it is now, also after files went away.
    if (fileList)
        fileList->RemoveItemsNotIn(*groups, *singles);
    if (noMatch != 0)
        return;
    if (fileList) {
        fileList->AddGroupFiles(groups);
        fileList->AddSingleFiles(singles);
    }
    owner->FillWatermarkPage(groups, singles);
    owner->FillExportPage(m_helpLogic, groups, singles);
    owner->FillPreviewPage(singles, paths);
    PlayDropDownFile(groups, singles);
    owner->SetSelectAllCheck(singles->empty() ? 1 : 0);
}

void CMainFrameUILogic::Task_GetFileManager_Ret(boost::shared_ptr<CFileManager> manager)
{
    if (boost::shared_ptr<IFileListHost> owner = m_owner.lock())
        owner->SetFileManager(manager);
}

void CMainFrameUILogic::PlayDropDownFile(const boost::shared_ptr<std::list<_GROUP_FILE_INFO>>& groups,
                                         const boost::shared_ptr<std::list<_SINGLE_FILE_INFO>>& singles)
{
    if (!m_openedPath || !groups || !singles)
        return;
    const std::wstring path = *m_openedPath;
    const std::wstring fileName = FileNameOf(path);
    const std::size_t dot = fileName.rfind(L'.');
    CNamingRuleParser parser(&m_extensions);
    if (dot == std::wstring::npos || !parser.IsSupportedExtension(fileName.substr(dot).c_str())) {
        m_openedPath.reset();  // a folder or another file plays nothing
        return;
    }
    // Played once: later rebuilds of the list (other folders, reloads) must
    // not open it again over what the user plays by then.
    const bool played = parser.Parse(fileName.c_str()) ? PlayRecording(fileName, *groups)
                                                      : PlaySingleFile(path, *singles);
    if (played)
        m_openedPath.reset();
}

bool CMainFrameUILogic::PlayRecording(const std::wstring& fileName, const std::list<_GROUP_FILE_INFO>& groups)
{
    CNamingRuleParser parser(&m_extensions);
    if (!parser.Parse(fileName.c_str()))
        return false;
    const int dayKey = GetDayKey(parser.start);
    for (const _GROUP_FILE_INFO& group : groups) {
        if (group.groupName != parser.name || group.key != dayKey)
            continue;
        if (!group.channels.count(parser.channel))
            return false;
        auto channels = boost::make_shared<std::map<int, void*>>();
        (*channels)[parser.channel] = nullptr;
        LumivexBase::PostTaskToLoop(
            LumivexBase::ML_HELPER,
            LumivexBase::MakeTask(&CMainFrameHelpLogic::Task_GetFilePath, m_helpLogic, QUERY_FILEPATH_CHANNEL,
                                  static_cast<unsigned int>(dayKey), parser.name, channels,
                                  boost::shared_ptr<IFileManagerQuery>(shared_from_this()), -1),
            kSourceText, __LINE__, "&CMainFrameHelpLogic::Task_GetFilePath", "CMainFrameUILogic::PlayDropDownFile");
        return true;
    }
    return false;
}

bool CMainFrameUILogic::PlaySingleFile(const std::wstring& path, const std::list<_SINGLE_FILE_INFO>& singles)
{
    for (const _SINGLE_FILE_INFO& single : singles) {
        if (single.path != path)
            continue;
        auto files = boost::make_shared<std::list<_QUERY_FILE_INFO>>();
        _QUERY_FILE_INFO file;
        file.path = path;
        file.queryType = QUERY_FILEPATH_SINGLE;
        file.requestKey = single.fileId;
        file.channelKey = FileIndexKeys::kSingleFileChannel;
        file.window = -1;
        file.fileId = single.fileId;
        file.startTime = 0;
        file.endTime = 1;
        files->push_back(std::move(file));
        Task_GetFilePath_Ret(files);
        return true;
    }
    return false;
}

void CMainFrameUILogic::Task_GetFilePath_Ret(boost::shared_ptr<std::list<_QUERY_FILE_INFO>> files)
{
    HandleFilePaths(std::move(files), 0);
}

void CMainFrameUILogic::HandleFilePaths(boost::shared_ptr<std::list<_QUERY_FILE_INFO>> files, int attempt)
{
    if (!files || files->empty())
        return;
    boost::shared_ptr<IFileListOwner> page = GetOwnerPage();
    if (!page)
        return;
    if (page->GetWantedReturnNum() > 0) {
        // Files are still opening: an answer for a particular window waits.
        if (files->front().window != -1 && attempt < kMaxRetries)
            RetryLater(files, attempt + 1);
        else
            Notify(L"This operation can't accomplish as the videos are opening now, please retry later!");
        return;
    }
    if (!AreAllFilesPresent(*files)) {
        if (ShowMessageBox(GetLangString(L"The files or directory have changed, should you reload them?"),
                           GetLangString(L"Prompt"), 1) == 1)
            ReloadFiles();
        return;
    }
    if (!StepPastPlayingFile(*page, files->front()))
        PlayFiles(*page, *files);
}

// Windows that end at once each ask for the next file not playing, the same
// one, before any of them plays it: a step's answer for a file that plays
// by now steps on past it, and the window closes when none is left.
bool CMainFrameUILogic::StepPastPlayingFile(IFileListOwner& page, const _QUERY_FILE_INFO& file)
{
    if (file.window == -1 || file.queryType == QUERY_FILEPATH_DAY)
        return false;
    boost::shared_ptr<CFileListEventImp> fileList = page.GetFileList();
    void* item = fileList ? fileList->FindFileItem(file) : nullptr;
    if (!item || !fileList->GetTreeCtrl()->IsItemHilight(item))
        return false;
    if (!fileList->PlayAdjacentFile(item, 1, 0, file.window))
        page.CloseFiles(0, file.window);
    return true;
}

void CMainFrameUILogic::RetryLater(boost::shared_ptr<std::list<_QUERY_FILE_INFO>> files, int attempt)
{
    boost::weak_ptr<CMainFrameUILogic> weakThis(shared_from_this());
    QTimer::singleShot(kRetryIntervalMs, [weakThis, files, attempt] {
        if (boost::shared_ptr<CMainFrameUILogic> self = weakThis.lock())
            self->HandleFilePaths(files, attempt);
    });
}

// The files that get a window, and the number of channel runs: every file,
// or of a whole day the files of its first kMaxDayWindows channel runs.
std::vector<const _QUERY_FILE_INFO*> CMainFrameUILogic::PickFilesToPlay(const std::list<_QUERY_FILE_INFO>& files,
                                                                        bool wholeDay, int& runs)
{
    std::vector<const _QUERY_FILE_INFO*> picked;
    runs = 0;
    int lastChannel = FileIndexKeys::kSingleFileChannel;
    for (const _QUERY_FILE_INFO& file : files) {
        if (wholeDay && (runs == 0 || file.channelKey != lastChannel)) {
            ++runs;
            lastChannel = file.channelKey;
        }
        if (!wholeDay || runs <= kMaxDayWindows)
            picked.push_back(&file);
    }
    return picked;
}

void CMainFrameUILogic::PlayFiles(IFileListOwner& page, const std::list<_QUERY_FILE_INFO>& files)
{
    const _QUERY_FILE_INFO& first = files.front();
    const bool wholeDay = first.queryType == QUERY_FILEPATH_DAY;
    const int sync = page.IsSyncPlay();
    int runs = 0;
    const std::vector<const _QUERY_FILE_INFO*> toPlay = PickFilesToPlay(files, wholeDay, runs);
    const int count = static_cast<int>(toPlay.size());

    if (wholeDay) {
        page.CloseFiles(0, -1);
        if (sync == 1) {
            page.SetWantedShowNum(count);
            page.SetTimeLineDisplayFlag(1);
        }
        // The layout first, so that the window ids are those of the new grid.
        page.SelectLayoutByWndCount(std::min(runs, kMaxDayWindows));
    } else {
        page.SetWantedShowNum(-1);
        page.SetSynPlay(0);
        page.ResetPlayStates();
    }
    CSFVideoWindow* grid = page.GetVideoWindow();
    page.SetWantedReturnNum(count);
    qCDebug(lcMain, "Task_GetFilePath_Ret==%d", count);
    const int currentWindow = grid ? grid->GetCurrentSubWinID() : -1;
    if (first.window == -1 || first.window == currentWindow)
        page.UpdatePlayBarButton(kReverseRadioId, 0);

    int run = -1;
    int lastChannel = FileIndexKeys::kSingleFileChannel;
    for (const _QUERY_FILE_INFO* file : toPlay) {
        int window = file->window == -1 ? currentWindow : file->window;
        if (wholeDay) {
            if (run < 0 || file->channelKey != lastChannel) {
                ++run;
                lastChannel = file->channelKey;
            }
            window = grid ? grid->GetSubWinIDByIndex(run) : -1;
        }
        page.StartPlayOneFile(file->path, MakePlayRecord(*file, window), sync);
    }
    if (runs > kMaxDayWindows)
        Notify(L"Only the first 36 channels of the day are played!");
}

bool CMainFrameUILogic::AreAllFilesPresent(const std::list<_QUERY_FILE_INFO>& files)
{
    for (const _QUERY_FILE_INFO& file : files) {
        const int fd = SF_SOFT_BASE::OpenRegularFileForReading(SF_SOFT_BASE::WideToUtf8(file.path));
        if (fd < 0)
            return false;
        ::close(fd);
    }
    return true;
}

void CMainFrameUILogic::ReloadFiles()
{
    boost::shared_ptr<IFileListHost> owner = m_owner.lock();
    if (!owner)
        return;
    boost::shared_ptr<IFileListOwner> page = owner->GetFileListOwner();
    if (page)
        page->CloseFiles(0, -1);
    owner->UpdateOpenedPaths();
    boost::shared_ptr<CFileListEventImp> fileList = page ? page->GetFileList() : nullptr;
    if (fileList && fileList->GetTreeCtrl())
        fileList->GetTreeCtrl()->SetAllItemCheck(1);
    owner->DeleteCheckedFiles();
    owner->OpenDroppedPaths(CConfigManager::GetInstance()->GetOpenedPaths());
}
