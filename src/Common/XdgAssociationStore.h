#pragma once

#include "Common/IFileAssociationStore.h"

#include <map>
#include <string>
#include <vector>

// The freedesktop.org association store of one user:
//   <data home>/mime/packages/<handler>.xml  one glob per extension
//   <data home>/applications/<handler>.desktop  Exec, Icon, MimeType
//   <config home>/mimeapps.list  [Default Applications] type=<handler>.desktop
//   <data home>/icons/hicolor/64x64/apps/<name>.png  the icon, when given as a file
// Files are read on first use and written (atomically) on Flush; a linked
// mimeapps.list is written where the link points. The default handler of a
// type is resolved as the desktop does, over every mimeapps.list in order.
class CXdgAssociationStore : public IFileAssociationStore {
public:
    CXdgAssociationStore(std::string dataHome, std::string configHome, std::wstring handlerId);
    // Over $XDG_DATA_HOME and $XDG_CONFIG_HOME (or their defaults under $HOME).
    static CXdgAssociationStore FromEnvironment(const std::wstring& handlerId);

    std::wstring GetExtensionType(const std::wstring& ext) override;
    void SetExtensionType(const std::wstring& ext, const std::wstring& type) override;
    std::wstring GetOpenCommand() override;
    void SetOpenCommand(const std::wstring& command, const std::wstring& icon) override;
    bool HandlesType(const std::wstring& type) override;
    void AddHandledType(const std::wstring& type) override;
    std::wstring GetDefaultHandler(const std::wstring& type) override;
    void SetDefaultHandler(const std::wstring& type, const std::wstring& handler) override;
    bool Flush() override;
    // Runs update-mime-database and update-desktop-database when present.
    void NotifyChanged() override;

    std::string GetPackagePath() const;
    std::string GetDesktopEntryPath() const;
    std::string GetMimeAppsPath() const;
    // Every mimeapps.list the desktop reads, highest precedence first.
    std::vector<std::string> GetMimeAppsLists() const;
    std::string GetIconPath() const;

private:
    void LoadPackage();
    void LoadDesktopEntry();
    void LoadMimeApps();
    bool WritePackage() const;
    bool WriteDesktopEntry() const;
    bool WriteMimeApps() const;
    // Index of the "type=" line of [Default Applications], or -1; section
    // receives the index of the section header, or -1.
    int FindDefaultLine(const std::string& type, int* section) const;
    bool DesktopEntryExists(const std::string& id) const;
    bool InstallIcon() const;

    std::string m_dataHome;
    std::string m_configHome;
    std::wstring m_handlerId;

    bool m_packageLoaded = false;
    bool m_packageDirty = false;
    std::map<std::wstring, std::wstring> m_extensionTypes;  // lower-case ext -> type

    bool m_desktopLoaded = false;
    bool m_desktopDirty = false;
    std::wstring m_exec;
    std::wstring m_icon;
    std::string m_iconSource;  // a picture file to install as the icon
    std::vector<std::wstring> m_handledTypes;

    bool m_mimeAppsLoaded = false;
    bool m_mimeAppsDirty = false;
    bool m_mimeAppsUnreadable = false;
    std::vector<std::string> m_mimeAppsLines;
};
