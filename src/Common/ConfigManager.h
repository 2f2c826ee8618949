#pragma once

#include "Common/ConfigItem.h"
#include "Common/IConfigPersistent.h"

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The program's settings: live variables bound to (group, key) entries of
// "Config/config.xml", loaded by Init at start and written by Save at exit.
class CConfigManager {
public:
    CConfigManager() = default;
    CConfigManager(const CConfigManager&) = delete;
    CConfigManager& operator=(const CConfigManager&) = delete;

    // The process-wide registry.
    static CConfigManager* GetInstance();

    // The store the next Init reads from (and lets go of); without one Init
    // reads "Config/config.xml".
    void SetPersistent(std::shared_ptr<IConfigPersistent> persistent);
    // Registers the program's settings (once), loads every setting, and splits OldPath and
    // strRecordFormat into their lists (OldPath is then empty until Save). A settings file that cannot be read
    // is renamed aside ("config.xml.bad", or ".bad.2" and on when taken).
    void Init();
    // Joins the opened paths into OldPath and writes every setting to
    // "Config/config.xml" (creating "Config"); false when it was not written.
    // The file stays within what Init reads: opened paths beyond it (past
    // tens of thousands of long folder names) are left out from the first
    // (the oldest remembered) and the error output says how many.
    // An unreadable file that could not be set aside is never overwritten.
    bool Save();
    // The save at exit from another thread while the GUI thread may be
    // stuck: false, nothing written, when the main window's close has tried
    // it already or a save under way does not finish within waitMs.
    bool SaveAtExitUnlessTried(int waitMs);
    // What the user is to be told about the settings file Init met, in the
    // current language: empty when it loaded or was missing.
    std::wstring GetLoadNotice() const;
    // Used by the main window when it closes: the same as Save, as the save
    // at exit.
    bool SaveOpenedPaths();
    // What the user is to be told about the last save: folders left out, or
    // why it failed (empty when it was whole, or when the folder cannot be
    // written to at all, which the start already told).
    std::wstring GetSaveNotice() const { return m_saveNotice; }

    void RegisterUIConfig();
    void AddBool(const wchar_t* group, const wchar_t* key, bool* value, bool defaultValue);
    void AddInt(const wchar_t* group, const wchar_t* key, std::int32_t* value,
                std::int32_t defaultValue, std::int32_t scale, std::int32_t min, std::int32_t max);
    void AddDouble(const wchar_t* group, const wchar_t* key, double* value, double defaultValue);
    void AddString(const wchar_t* group, const wchar_t* key, std::wstring* value,
                   const std::wstring& defaultValue);

    // The folders and files open at the last exit (OldPath split at ";"),
    // the oldest remembered first.
    std::vector<std::wstring>& GetOpenedPaths() { return m_openedPaths; }
    // The recording extensions (strRecordFormat split at ";", empty entries
    // skipped, each cut to 7 characters and lower-cased). Its address stays
    // the same for the run.
    const std::list<std::wstring>& GetRecordFormats() const { return m_recordFormats; }
    const std::vector<std::unique_ptr<ConfigItem>>& GetItems() const { return m_items; }

    // Live values of the UIConfig group.
    std::wstring strRecordFormat;
    std::wstring OldPath;
    std::wstring SnapPath;
    std::wstring VideoPath;
    std::int32_t Proportion = 0;
    std::int32_t ShowTrace = 0;
    std::int32_t Language = 0;
    bool VerticalSyn = false;
    std::int32_t SnapFormat = 0;
    std::int32_t VideoFormat = 0;
    std::int32_t VideoLayout = 147;

private:
    void NoteSaveFailure(const std::string& target, int error);
    // A new item of the group and key at the end of the list.
    ConfigItem& AddItem(const wchar_t* group, const wchar_t* key);
    void LoadItem(IConfigPersistent& store, ConfigItem& item);
    void SplitLists();
    void SetAsideUnreadableFile();
    // Joins the opened paths into OldPath, stored as the file holds it
    // (AppendSettingText).
    void JoinOpenedPaths();
    // The document text, within the size the loader reads: the oldest
    // opened paths are left out when all of them would not fit.
    std::string BuildReadableText();
    // Leaves out the oldest opened paths that take at least bytes in the text.
    void DropOldestOpenedPaths(std::size_t bytes);
    bool SaveLocked();

    std::timed_mutex m_saving;
    std::atomic<bool> m_exitSaveTried{false};
    bool m_registered = false;
    bool m_keepUnreadableFile = false;
    std::wstring m_setAsidePath;  // where an unreadable file was put
    std::size_t m_droppedOpenedPaths = 0;  // left out by the last save
    std::wstring m_saveNotice;
    std::shared_ptr<IConfigPersistent> m_persistent;
    std::vector<std::wstring> m_openedPaths;
    std::list<std::wstring> m_recordFormats;
    std::vector<std::unique_ptr<ConfigItem>> m_items;
};
