#include "Main/ConfigUILogic.h"

#include <cwchar>
#include <set>
#include <vector>

#include "Base/FileSystemHelpers.h"
#include "Base/SFAutoMutexLock.h"
#include "Common/ConfigManager.h"
#include "FileIndex/FileManager.h"
#include "Main/ConfigViewEventImp.h"
#include "Main/MainFrameEventImp.h"

namespace {

// Adds the folder of the path once, in the order first met.
void AddFolderOf(const std::wstring& path, std::vector<std::wstring>& folders, std::set<std::wstring>& known)
{
    const std::size_t slash = path.rfind(L'/');
    if (slash == std::wstring::npos)
        return;
    std::wstring folder = path.substr(0, slash + 1);
    if (known.insert(folder).second)
        folders.push_back(std::move(folder));
}

// The folders still open, those remembered before first in their order,
// then the ones opened since: the oldest lead.
std::vector<std::wstring> RememberedFirst(const std::vector<std::wstring>& remembered,
                                          const std::vector<std::wstring>& open, std::set<std::wstring>& openSet)
{
    std::vector<std::wstring> ordered;
    ordered.reserve(open.size());
    for (const std::wstring& folder : remembered)
        if (openSet.erase(folder) > 0)
            ordered.push_back(folder);
    for (const std::wstring& folder : open)
        if (openSet.count(folder) > 0)
            ordered.push_back(folder);
    return ordered;
}

bool IsLanguageNumber(const std::wstring& item)
{
    return !item.empty() && item.find_first_not_of(L" 0123456789") == std::wstring::npos &&
           item.find_first_of(L"0123456789") != std::wstring::npos;
}

}  // namespace

CConfigUILogic::CConfigUILogic(const boost::shared_ptr<CConfigViewEventImp>& page) : m_page(page) {}

void CConfigUILogic::SetFileManager(const boost::shared_ptr<CFileManager>& manager)
{
    m_fileManager = manager;
}

void CConfigUILogic::UpdateOpenedPaths()
{
    RebuildOpenedPaths(m_fileManager.lock());
}

void CConfigUILogic::RebuildOpenedPaths(const boost::shared_ptr<CFileManager>& manager)
{
    // Without a file index nothing was opened this run: the folders
    // remembered from the last one stay.
    if (!manager)
        return;
    std::vector<std::wstring>& folders = CConfigManager::GetInstance()->GetOpenedPaths();
    std::vector<std::wstring> remembered;
    remembered.swap(folders);
    std::set<std::wstring> known;
    CollectGroupFileFolders(*manager, known);
    CollectSingleFileFolders(*manager, known);
    folders = RememberedFirst(remembered, folders, known);
}

void CConfigUILogic::CollectGroupFileFolders(CFileManager& manager, std::set<std::wstring>& known)
{
    std::vector<std::wstring>& folders = CConfigManager::GetInstance()->GetOpenedPaths();
    SF_SOFT_BASE::CSFAutoMutexLock lock(manager.GetLock());
    const _FILE_INDEX* index = manager.GetFileIndex();
    if (!index)
        return;
    for (const auto& group : index->groups)
        for (const auto& day : group.second->days)
            for (const auto& channel : *day.second)
                for (const auto& file : channel.second->files)
                    AddFolderOf(file.second->GetPathString(), folders, known);
}

void CConfigUILogic::CollectSingleFileFolders(CFileManager& manager, std::set<std::wstring>& known)
{
    std::vector<std::wstring>& folders = CConfigManager::GetInstance()->GetOpenedPaths();
    std::list<_SINGLE_FILE_INFO> singles;
    manager.GetSingleFileList(&singles, nullptr);
    for (const auto& single : singles)
        AddFolderOf(single.path, folders, known);
}

void CConfigUILogic::SetShowTrace(int mask)
{
    auto page = m_page.lock();
    auto owner = page ? page->GetOwner() : nullptr;
    if (owner)
        owner->ShowTraceOnMainPage(mask);
}

void CConfigUILogic::SetVerticalSync(int on)
{
    auto page = m_page.lock();
    auto owner = page ? page->GetOwner() : nullptr;
    if (owner)
        owner->SetMainVerticalSync(on);
}

CConfigUILogic::FolderTextCheck CConfigUILogic::CheckFolderText(const std::wstring& text)
{
    if (text.size() > kMaxFolderLength)
        return kFolderTextTooLong;
    return text.empty() ? kFolderTextEmpty : kFolderTextOk;
}

std::wstring CConfigUILogic::NormaliseFolderText(const std::wstring& text)
{
    std::wstring folder = text;
    std::replace(folder.begin(), folder.end(), L'\\', L'/');
    if (folder.empty() || folder.back() != L'/')
        folder += L'/';
    return folder;
}

std::wstring CConfigUILogic::MakeStoredFolder(const std::wstring& normalised)
{
    std::wstring folder = SF_SOFT_BASE::MakeAbsoluteDirPath(normalised);
    if (!folder.empty())
        folder.pop_back();
    while (!folder.empty() && folder.back() == L'.')
        folder.pop_back();
    if (folder.empty() || folder.back() != L'/')
        folder += L'/';
    return folder;
}

std::vector<CConfigUILogic::LanguageChoice> CConfigUILogic::MakeLanguageChoices(
    const std::wstring& list, int inUse, const std::function<std::wstring(int)>& nameOf)
{
    std::vector<LanguageChoice> choices;
    auto offer = [&](int number) {
        for (const LanguageChoice& choice : choices)
            if (choice.first == number)
                return;
        std::wstring name = nameOf(number);
        if (!name.empty())
            choices.emplace_back(number, std::move(name));
    };
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = list.find(L',', start);
        const std::wstring item = list.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
        // Without a language file the list is its own key: no numbers, no entries.
        if (IsLanguageNumber(item))
            offer(static_cast<int>(std::wcstol(item.c_str(), nullptr, 10)));
        if (comma == std::wstring::npos)
            break;
        start = comma + 1;
    }
    offer(inUse);
    offer(1);
    return choices;
}
