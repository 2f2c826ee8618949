#pragma once

#include "Common/IFileAssociationStore.h"

#include <map>
#include <string>
#include <vector>

// The freedesktop.org association store of one user:
//   <data home>/mime/packages/<handler>.xml  one glob per extension
//   <data home>/applications/<handler>.desktop  Exec, Icon, MimeType
//   <config home>/mimeapps.list  [Default Applications] type=<handler>.desktop
//   <config home>/<desktop>-mimeapps.list  the same, in each such list of
//       the current desktops that names a default of the type
//   <data home>/icons/hicolor/64x64/apps/<name>.png  the icon, when given as a file
// Files are read on first use and written (atomically) on Flush; a linked
// mimeapps.list is written where the link points. The default handler of a
// type is resolved as the desktop does, over every mimeapps.list in order.
// Without a home folder (HOME unset and no XDG folder given) the store has
// no place: it reads nothing and writes nothing.
class CXdgAssociationStore : public IFileAssociationStore {
public:
    CXdgAssociationStore(std::string dataHome, std::string configHome, std::wstring handlerId);
    // Over $XDG_DATA_HOME and $XDG_CONFIG_HOME (or their defaults under $HOME).
    static CXdgAssociationStore FromEnvironment(const std::wstring& handlerId);

    std::string GetUnavailableReason() const override;

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
    // A package file that the XML guard refuses is moved aside to
    // "<data home>/mime/<name>.xml.bad": the MIME database reads every file
    // of the packages folder as well, and would take minutes over it (or
    // block on a FIFO). True when it was.
    bool SetAsideRefusedPackage() const;
    std::string GetRefusedPackagePath() const;
    // The files update-mime-database made in "<data home>/mime" that are no
    // regular file (a FIFO, device or socket, which the MIME database would
    // block on) are moved aside to "<name>.bad" ("<name>(1).bad", ... when
    // taken); one set aside before (its name ends in ".bad") stays as it
    // is. The number moved.
    int SetAsideIrregularMimeFiles() const;
    std::string GetDesktopEntryPath() const;
    std::string GetMimeAppsPath() const;
    // Every mimeapps.list the desktop reads, highest precedence first.
    std::vector<std::string> GetMimeAppsLists() const;
    std::string GetIconPath() const;

private:
    void LoadPackage();
    void LoadDesktopEntry();
    // One mimeapps.list the store writes, read on first use.
    struct MimeAppsFile {
        std::string path;
        bool unreadable = false;
        bool dirty = false;
        std::vector<std::string> lines;
    };
    MimeAppsFile& MimeAppsFileAt(const std::string& path);
    // The desktop-specific lists of $XDG_CONFIG_HOME, read before mimeapps.list.
    std::vector<std::string> GetDesktopMimeAppsPaths() const;
    static void PutDefaultFirst(MimeAppsFile& file, const std::string& type, const std::wstring& entry);
    static bool WriteMimeApps(const MimeAppsFile& file);
    bool WritePackage() const;
    bool WriteDesktopEntry() const;
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

    std::vector<MimeAppsFile> m_mimeAppsFiles;
};
