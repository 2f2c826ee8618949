#pragma once

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

class CConfigViewEventImp;
class CFileManager;

// The settings page's logic: applies the overlay lines and vertical
// synchronisation to the main page, keeps the list of opened folders, and
// turns an edited folder into the form that is stored.
class CConfigUILogic {
public:
    // Longest folder text the page accepts.
    static constexpr std::size_t kMaxFolderLength = 200;
    enum FolderTextCheck { kFolderTextOk, kFolderTextTooLong, kFolderTextEmpty };

    explicit CConfigUILogic(const boost::shared_ptr<CConfigViewEventImp>& page);

    void SetFileManager(const boost::shared_ptr<CFileManager>& manager);
    // Rebuilds the settings store's opened-folder list from the file index;
    // keeps it as it is while the page has no file index.
    void UpdateOpenedPaths();
    // The same from the given file index; without one the list stays. The
    // folders remembered before lead in their order, then those opened since.
    static void RebuildOpenedPaths(const boost::shared_ptr<CFileManager>& manager);
    void SetShowTrace(int mask);
    void SetVerticalSync(int on);

    static FolderTextCheck CheckFolderText(const std::wstring& text);
    // "\" become "/", and the text ends in "/".
    static std::wstring NormaliseFolderText(const std::wstring& text);
    // The absolute folder as stored: trailing dots of its last name dropped,
    // ending in "/".
    static std::wstring MakeStoredFolder(const std::wstring& normalised);

    // A language the page offers: its number and its name.
    using LanguageChoice = std::pair<int, std::wstring>;
    // The languages of the list text ("1,2", numbers between commas), then
    // the one in use and English (1) when the list lacks them, so that the
    // user can always go back. nameOf gives a language's name; one it
    // gives none for is left out.
    static std::vector<LanguageChoice> MakeLanguageChoices(const std::wstring& list, int inUse,
                                                           const std::function<std::wstring(int)>& nameOf);

private:
    // Add the folders not yet known, in order.
    static void CollectGroupFileFolders(CFileManager& manager, std::set<std::wstring>& known);
    static void CollectSingleFileFolders(CFileManager& manager, std::set<std::wstring>& known);

    boost::weak_ptr<CConfigViewEventImp> m_page;
    boost::weak_ptr<CFileManager> m_fileManager;
};
