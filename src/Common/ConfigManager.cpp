#include "Common/ConfigManager.h"

#include <cerrno>

#include <chrono>

#include "Base/TextCodec.h"
#include "Common/AppDir.h"
#include "Base/AtomicFileWriter.h"
#include "Base/FileSystemHelpers.h"
#include "Common/ConfigXMLPersistImp.h"
#include "Common/LangString.h"
#include "Common/SaveFolders.h"
#include "Common/SettingText.h"
#include "Common/SettingsDocument.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <sys/stat.h>

namespace {

constexpr const wchar_t* kUIConfig = L"UIConfig";
constexpr const char* kConfigFolder = "Config";

// Pieces of text that are each followed by ";" (a rest after the last ";"
// is not taken).
std::vector<std::wstring> SplitTerminated(const std::wstring& text)
{
    std::vector<std::wstring> pieces;
    std::size_t start = 0;
    for (auto end = text.find(L';'); end != std::wstring::npos; end = text.find(L';', start)) {
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

// The first of "<path>.bad", "<path>.bad.2", ... that names nothing; empty
// when all are taken.
std::string FreeAsideName(const std::string& path)
{
    constexpr int kMaxAside = 100;
    for (int n = 1; n <= kMaxAside; ++n) {
        std::string name = path + ".bad";
        if (n > 1)
            name.append(".").append(std::to_string(n));
        struct stat entry {};
        if (::lstat(name.c_str(), &entry) != 0)
            return name;
    }
    return {};
}

}  // namespace

CConfigManager* CConfigManager::GetInstance()
{
    static CConfigManager instance;
    return &instance;
}

void CConfigManager::SetPersistent(std::shared_ptr<IConfigPersistent> persistent)
{
    m_persistent = std::move(persistent);
}

void CConfigManager::RegisterUIConfig()
{
    const std::wstring appDir = SFGetAppDir();
    AddString(kUIConfig, L"SnapPath", &SnapPath, appDir + L"/Picture/");
    AddString(kUIConfig, L"VideoPath", &VideoPath, appDir + L"/Video/");
    AddInt(kUIConfig, L"Proportion", &Proportion, 0, 0, 0, 0);
    AddInt(kUIConfig, L"ShowTrace", &ShowTrace, 0, 0, 0, 0);
    AddInt(kUIConfig, L"Language", &Language, 1, 0, 0, 0);
    AddBool(kUIConfig, L"VerticalSyn", &VerticalSyn, false);
    AddInt(kUIConfig, L"SnapFormat", &SnapFormat, 0, 0, 0, 0);
    AddInt(kUIConfig, L"VideoFormat", &VideoFormat, 0, 0, 0, 0);
    AddString(kUIConfig, L"OldPath", &OldPath, L"");
    AddString(kUIConfig, L"strRecordFormat", &strRecordFormat, L".kvx;.kvx_;.avi;.mp4;.ps;.ts;");
    AddInt(kUIConfig, L"VideoLayout", &VideoLayout, 147, 0, 0, 0);
}

ConfigItem& CConfigManager::AddItem(const wchar_t* group, const wchar_t* key)
{
    auto item = std::make_unique<ConfigItem>();
    item->group = group;
    item->key = key;
    m_items.push_back(std::move(item));
    return *m_items.back();
}

void CConfigManager::AddBool(const wchar_t* group, const wchar_t* key, bool* value,
                             bool defaultValue)
{
    ConfigItem& item = AddItem(group, key);
    item.boolValue = value;
    item.boolDefault = defaultValue;
    item.max = 1;
    item.scale = 1;
}

void CConfigManager::AddInt(const wchar_t* group, const wchar_t* key, std::int32_t* value,
                            std::int32_t defaultValue, std::int32_t scale, std::int32_t min,
                            std::int32_t max)
{
    ConfigItem& item = AddItem(group, key);
    item.intValue = value;
    item.intDefault = defaultValue;
    item.scale = scale;
    item.min = min;
    item.max = max;
}

void CConfigManager::AddDouble(const wchar_t* group, const wchar_t* key, double* value,
                               double defaultValue)
{
    ConfigItem& item = AddItem(group, key);
    item.doubleValue = value;
    item.doubleDefault = defaultValue;
}

void CConfigManager::AddString(const wchar_t* group, const wchar_t* key, std::wstring* value,
                               const std::wstring& defaultValue)
{
    ConfigItem& item = AddItem(group, key);
    item.stringValue = value;
    item.stringDefault = defaultValue;
}

void CConfigManager::Init()
{
    if (!m_registered) {
        RegisterUIConfig();
        m_registered = true;
    }
    if (!m_persistent)
        m_persistent = std::make_shared<CConfigXMLPersistImp>(std::string());
    for (auto& item : m_items)
        if (item->stringValue != &OldPath)  // split from the stored text below
            LoadItem(*m_persistent, *item);
    m_openedPaths = SplitSettingList(m_persistent->ReadUtf8(kUIConfig, L"OldPath"));
    // The store's document is a few times the file's size: let go of it
    // once the list holds the folders (Save joins them into OldPath again).
    const bool unreadable = m_persistent->FileUnreadable();
    m_persistent.reset();
    SplitLists();
    std::wstring().swap(OldPath);
    m_keepUnreadableFile = false;
    m_setAsidePath.clear();
    if (unreadable)
        SetAsideUnreadableFile();
}

void CConfigManager::SetAsideUnreadableFile()
{
    const std::string aside = FreeAsideName(CConfigXMLPersistImp::kSettingsPath);
    if (!aside.empty() && ::rename(CConfigXMLPersistImp::kSettingsPath, aside.c_str()) == 0) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(aside, error);
        m_setAsidePath = SF_SOFT_BASE::Utf8ToWide(error ? aside : absolute.string());
        return;
    }
    m_keepUnreadableFile = true;
}

std::wstring CConfigManager::GetLoadNotice() const
{
    if (m_keepUnreadableFile)
        return GetLangString(L"The settings file could not be read. It is left as it is, the default settings "
                             L"are used and the changes of this run are not saved.");
    if (m_setAsidePath.empty())
        return {};
    return std::wstring(GetLangString(L"The settings file could not be read. It was kept as:")) + L"\n" +
           m_setAsidePath + L"\n" + GetLangString(L"The default settings are used.");
}

void CConfigManager::LoadItem(IConfigPersistent& store, ConfigItem& item)
{
    const wchar_t* group = item.group.c_str();
    const wchar_t* key = item.key.c_str();
    if (item.boolValue) {
        *item.boolValue = store.ReadBool(group, key, item.boolDefault, 0);
    } else if (item.intValue) {
        std::int32_t value = store.ReadInt(group, key, item.intDefault, 0);
        auto min = static_cast<std::uint32_t>(item.min);
        auto max = static_cast<std::uint32_t>(item.max);
        if (item.scale != 0 && min < max) {
            std::uint32_t lo = min * static_cast<std::uint32_t>(item.scale);
            std::uint32_t hi = max * static_cast<std::uint32_t>(item.scale);
            auto unsignedValue = static_cast<std::uint32_t>(value);
            if (unsignedValue <= lo)
                value = static_cast<std::int32_t>(lo);
            else if (unsignedValue >= hi)
                value = static_cast<std::int32_t>(hi);
        }
        *item.intValue = value;
    } else if (item.doubleValue) {
        *item.doubleValue = store.ReadDouble(group, key, item.doubleDefault, 0);
    } else if (item.stringValue) {
        *item.stringValue = store.ReadString(group, key, item.stringDefault);
        if (item.stringValue->empty() && !item.stringDefault.empty())
            *item.stringValue = item.stringDefault;
    }
}

void CConfigManager::SplitLists()
{
    m_recordFormats.clear();
    for (std::wstring format : SplitTerminated(strRecordFormat)) {
        if (format.empty())
            continue;  // names no extension
        format.resize(std::min<std::size_t>(format.size(), 7));
        for (auto& c : format)
            c = static_cast<wchar_t>(std::towlower(c));
        m_recordFormats.push_back(format);
    }
}

bool CConfigManager::Save()
{
    std::lock_guard lock(m_saving);
    return SaveLocked();
}

bool CConfigManager::SaveOpenedPaths()
{
    m_exitSaveTried = true;
    return Save();
}

bool CConfigManager::SaveAtExitUnlessTried(int waitMs)
{
    if (m_exitSaveTried.exchange(true))
        return false;
    std::unique_lock lock(m_saving, std::chrono::milliseconds(waitMs));
    return lock.owns_lock() && SaveLocked();
}

void CConfigManager::JoinOpenedPaths()
{
    // Sized once: grown piece by piece, a list near the file's bound is
    // copied over and over.
    std::size_t length = 0;
    for (const auto& path : m_openedPaths)
        length += StoredSettingTextLength(path, true);
    OldPath.clear();
    OldPath.reserve(length);
    for (const auto& path : m_openedPaths)
        AppendSettingText(path, OldPath, true);
}

std::string CConfigManager::BuildReadableText()
{
    const CSettingsDocument document(m_items, &OldPath);
    for (std::size_t size = document.Size();
         size > CConfigXMLPersistImp::kMaxSettingsBytes && !m_openedPaths.empty(); size = document.Size()) {
        DropOldestOpenedPaths(size - CConfigXMLPersistImp::kMaxSettingsBytes);
        JoinOpenedPaths();
    }
    return document.Text();
}

void CConfigManager::DropOldestOpenedPaths(std::size_t bytes)
{
    std::size_t dropped = 0;
    std::size_t count = 0;
    std::wstring stored;
    while (dropped < bytes && count < m_openedPaths.size()) {
        stored.clear();
        AppendSettingText(m_openedPaths[count], stored, true);
        dropped += CSettingsDocument::ValueSize(stored);
        ++count;
    }
    m_openedPaths.erase(m_openedPaths.begin(), m_openedPaths.begin() + static_cast<std::ptrdiff_t>(count));
    m_droppedOpenedPaths += count;
}

bool CConfigManager::SaveLocked()
{
    JoinOpenedPaths();
    if (m_keepUnreadableFile)
        return false;
    ::mkdir(kConfigFolder, 0755);
    m_droppedOpenedPaths = 0;
    m_saveNotice.clear();
    // Through a link (settings kept with the user's other files) the file
    // it names is replaced, and the link stays.
    const std::string target = SF_SOFT_BASE::FollowLinks(CConfigXMLPersistImp::kSettingsPath);
    int error = 0;
    const bool written = SF_SOFT_BASE::CAtomicFileWriter::WriteWhole(target, BuildReadableText(), &error);
    if (written && m_droppedOpenedPaths > 0)
        m_saveNotice = LogOpenedPathsLeftOut(m_droppedOpenedPaths);
    if (written)
        return true;
    NoteSaveFailure(target, error);
    return false;
}

void CConfigManager::NoteSaveFailure(const std::string& target, int error)
{
    std::error_code ignored;
    const std::wstring text =
        LogCannotSave(SF_SOFT_BASE::Utf8ToWide(std::filesystem::absolute(target, ignored).string()), error);
    // A folder the user may not write to was told at start.
    if (error != EACCES && error != EPERM && error != EROFS)
        m_saveNotice = text;
}
