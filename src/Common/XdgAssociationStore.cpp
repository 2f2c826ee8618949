#include "Common/XdgAssociationStore.h"

#include "Base/TextCodec.h"
#include "Base/AtomicFileWriter.h"
#include "Base/FileSystemHelpers.h"
#include "Common/XmlText.h"

#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <sstream>
#include <tinyxml.h>

namespace {

using SF_SOFT_BASE::Utf8ToWide;
using SF_SOFT_BASE::WideToUtf8;

constexpr const char* kDefaultSection = "[Default Applications]";
constexpr int kToolTimeoutMs = 30000;

std::wstring Lower(std::wstring text)
{
    for (auto& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return QString::fromStdWString(a).compare(QString::fromStdWString(b), Qt::CaseInsensitive) == 0;
}

// The file's lines; none for a missing file. False when the file is there
// but could not be read whole, or is no regular file.
bool ReadLines(const std::string& path, std::vector<std::string>& lines)
{
    lines.clear();
    // Only a regular file is read: a FIFO would block the GUI thread.
    std::string text;
    if (!SF_SOFT_BASE::ReadRegularFile(path, text)) {
        std::error_code error;
        return std::filesystem::symlink_status(path, error).type() ==
               std::filesystem::file_type::not_found;
    }
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return true;
}

std::string Trim(const std::string& text)
{
    auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Desktop-entry string values escape '\' and control characters.
std::string EscapeValue(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string UnescapeValue(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        out += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next == 's' ? ' ' : next;
    }
    return out;
}

std::vector<std::wstring> SplitList(const std::wstring& text)
{
    std::vector<std::wstring> items;
    std::wstringstream stream(text);
    std::wstring item;
    while (std::getline(stream, item, L';'))
        if (!item.empty())
            items.push_back(item);
    return items;
}

// An absolute folder from the variable, else the fallback under an absolute
// $HOME; empty when there is neither.
std::string HomeFolder(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    if (value && *value == '/')
        return value;
    const char* home = std::getenv("HOME");
    return home && *home == '/' ? std::string(home) + fallback : std::string();
}

// The names of the current desktop, lower-case, in order.
std::vector<std::string> CurrentDesktops()
{
    std::vector<std::string> desktops;
    const char* current = std::getenv("XDG_CURRENT_DESKTOP");
    std::stringstream stream(current ? current : "");
    std::string name;
    while (std::getline(stream, name, ':'))
        if (!name.empty())
            desktops.push_back(QString::fromStdString(name).toLower().toStdString());
    return desktops;
}

// Index of the "type=" line of [Default Applications], or -1; section
// receives the index of the section header, or -1.
int FindDefaultLine(const std::vector<std::string>& lines, const std::string& type, int* section)
{
    *section = -1;
    bool inSection = false;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const std::string line = Trim(lines[i]);
        if (!line.empty() && line[0] == '[') {
            inSection = line == kDefaultSection;
            if (inSection && *section < 0)
                *section = i;
            continue;
        }
        const auto equals = line.find('=');
        if (inSection && equals != std::string::npos && Trim(line.substr(0, equals)) == type)
            return i;
    }
    return -1;
}

bool Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found;
}

// The folders of a search-path variable, or its default.
std::vector<std::string> SearchFolders(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    std::stringstream stream(value && *value ? value : fallback);
    std::vector<std::string> folders;
    std::string folder;
    while (std::getline(stream, folder, ':'))
        if (!folder.empty() && folder[0] == '/')
            folders.push_back(folder);
    return folders;
}

// The type with its canonical name and aliases, as the database knows them.
std::vector<std::string> TypeNames(const std::wstring& type)
{
    std::vector<std::string> names{WideToUtf8(type)};
    const QMimeType known = QMimeDatabase().mimeTypeForName(QString::fromStdWString(type));
    if (!known.isValid())
        return names;
    QStringList all = known.aliases();
    all.prepend(known.name());
    for (const QString& name : all)
        if (std::find(names.begin(), names.end(), name.toStdString()) == names.end())
            names.push_back(name.toStdString());
    return names;
}

// The desktop ids listed for one of the names in a list's [Default Applications].
std::vector<std::string> ListedDefaults(const std::string& listPath, const std::vector<std::string>& names)
{
    std::vector<std::string> lines;
    std::vector<std::string> ids;
    if (!ReadLines(listPath, lines))
        return ids;
    bool inSection = false;
    for (const std::string& raw : lines) {
        const std::string line = Trim(raw);
        if (!line.empty() && line[0] == '[') {
            inSection = line == kDefaultSection;
            continue;
        }
        const auto equals = line.find('=');
        if (!inSection || equals == std::string::npos)
            continue;
        if (std::find(names.begin(), names.end(), Trim(line.substr(0, equals))) == names.end())
            continue;
        for (const std::wstring& id : SplitList(Utf8ToWide(Trim(line.substr(equals + 1)))))
            ids.push_back(WideToUtf8(id));
    }
    return ids;
}

bool WriteText(const std::string& path, const std::string& text)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    return SF_SOFT_BASE::CAtomicFileWriter::WriteWhole(path, text);
}

void RunTool(const char* tool, const std::string& folder)
{
    QString program = QStandardPaths::findExecutable(QString::fromLatin1(tool));
    if (program.isEmpty())
        return;
    QProcess process;
    process.start(program, {QString::fromStdString(folder)});
    if (process.waitForStarted(kToolTimeoutMs) && !process.waitForFinished(kToolTimeoutMs))
        process.kill();
    process.waitForFinished(kToolTimeoutMs);
}

}  // namespace

CXdgAssociationStore::CXdgAssociationStore(std::string dataHome, std::string configHome,
                                           std::wstring handlerId)
    : m_dataHome(std::move(dataHome)), m_configHome(std::move(configHome)),
      m_handlerId(std::move(handlerId))
{
}

CXdgAssociationStore CXdgAssociationStore::FromEnvironment(const std::wstring& handlerId)
{
    return CXdgAssociationStore(HomeFolder("XDG_DATA_HOME", "/.local/share"),
                                HomeFolder("XDG_CONFIG_HOME", "/.config"), handlerId);
}

std::string CXdgAssociationStore::GetPackagePath() const
{
    return m_dataHome + "/mime/packages/" + WideToUtf8(m_handlerId) + ".xml";
}

std::string CXdgAssociationStore::GetDesktopEntryPath() const
{
    return m_dataHome + "/applications/" + WideToUtf8(m_handlerId) + ".desktop";
}

std::string CXdgAssociationStore::GetMimeAppsPath() const
{
    return m_configHome + "/mimeapps.list";
}

void CXdgAssociationStore::LoadPackage()
{
    if (m_packageLoaded)
        return;
    m_packageLoaded = true;
    TiXmlDocument document;
    if (!LoadXmlFile(document, GetPackagePath()) || !document.RootElement())
        return;
    for (const TiXmlElement* type = document.RootElement()->FirstChildElement("mime-type"); type;
         type = type->NextSiblingElement("mime-type")) {
        const char* name = type->Attribute("type");
        for (const TiXmlElement* glob = type->FirstChildElement("glob"); glob && name;
             glob = glob->NextSiblingElement("glob")) {
            const char* pattern = glob->Attribute("pattern");
            if (pattern && pattern[0] == '*')
                m_extensionTypes[Lower(Utf8ToWide(pattern + 1))] = Utf8ToWide(name);
        }
    }
}

std::string CXdgAssociationStore::GetRefusedPackagePath() const
{
    return m_dataHome + "/mime/" + WideToUtf8(m_handlerId) + ".xml.bad";
}

bool CXdgAssociationStore::SetAsideRefusedPackage() const
{
    const std::string path = GetPackagePath();
    std::error_code error;
    TiXmlDocument document;
    if (m_dataHome.empty() || !std::filesystem::exists(std::filesystem::symlink_status(path, error)) ||
        LoadXmlFile(document, path))
        return false;
    return ::rename(path.c_str(), GetRefusedPackagePath().c_str()) == 0;
}

int CXdgAssociationStore::SetAsideIrregularMimeFiles() const
{
    if (m_dataHome.empty())
        return 0;
    std::error_code error;
    int moved = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dataHome + "/mime", error)) {
        const std::filesystem::file_status status = entry.status(error);
        if (error || std::filesystem::is_regular_file(status) || std::filesystem::is_directory(status))
            continue;
        const std::string path = entry.path().string();
        if (path.ends_with(".bad"))
            continue;  // set aside before
        if (!SF_SOFT_BASE::CAtomicFileWriter::RenameToFreeName(path, path + ".bad").empty())
            ++moved;
    }
    return moved;
}

bool CXdgAssociationStore::WritePackage() const
{
    TiXmlDocument document;
    document.InsertEndChild(TiXmlDeclaration("1.0", "UTF-8", ""));
    TiXmlElement root("mime-info");
    root.SetAttribute("xmlns", "http://www.freedesktop.org/standards/shared-mime-info");
    for (const auto& [ext, type] : m_extensionTypes) {
        TiXmlElement typeElement("mime-type");
        typeElement.SetAttribute("type", WideToUtf8(type).c_str());
        TiXmlElement comment("comment");
        comment.InsertEndChild(TiXmlText((WideToUtf8(ext) + " recording").c_str()));
        typeElement.InsertEndChild(comment);
        TiXmlElement glob("glob");
        const std::string pattern = std::string(1, '*').append(WideToUtf8(ext));
        glob.SetAttribute("pattern", pattern.c_str());
        typeElement.InsertEndChild(glob);
        if (ext == L".kvx") {
            // A recording starts with a record header: "KVXR", version 1.
            TiXmlElement magic("magic");
            magic.SetAttribute("priority", "50");
            TiXmlElement match("match");
            match.SetAttribute("type", "string");
            match.SetAttribute("value", "KVXR\\x01");
            match.SetAttribute("offset", "0");
            magic.InsertEndChild(match);
            typeElement.InsertEndChild(magic);
        }
        root.InsertEndChild(typeElement);
    }
    document.InsertEndChild(root);
    TiXmlPrinter printer;
    document.Accept(&printer);
    return WriteText(GetPackagePath(), printer.Str());
}

std::wstring CXdgAssociationStore::GetExtensionType(const std::wstring& ext)
{
    LoadPackage();
    auto found = m_extensionTypes.find(Lower(ext));
    return found == m_extensionTypes.end() ? std::wstring() : found->second;
}

void CXdgAssociationStore::SetExtensionType(const std::wstring& ext, const std::wstring& type)
{
    LoadPackage();
    m_extensionTypes[Lower(ext)] = type;
    m_packageDirty = true;
}

void CXdgAssociationStore::LoadDesktopEntry()
{
    if (m_desktopLoaded)
        return;
    m_desktopLoaded = true;
    bool inEntry = false;
    std::vector<std::string> lines;
    ReadLines(GetDesktopEntryPath(), lines);  // our own file: rewritten whole if unreadable
    for (const std::string& raw : lines) {
        std::string line = Trim(raw);
        if (!line.empty() && line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        auto equals = line.find('=');
        if (!inEntry || equals == std::string::npos)
            continue;
        std::string key = Trim(line.substr(0, equals));
        std::wstring value = Utf8ToWide(UnescapeValue(Trim(line.substr(equals + 1))));
        if (key == "Exec")
            m_exec = value;
        else if (key == "Icon")
            m_icon = value;
        else if (key == "MimeType")
            m_handledTypes = SplitList(value);
    }
}

bool CXdgAssociationStore::WriteDesktopEntry() const
{
    std::string types;
    for (const auto& type : m_handledTypes)
        types += WideToUtf8(type) + ";";
    std::wstring name = m_handlerId.substr(0, m_handlerId.rfind(L".Files"));
    std::string text = "[Desktop Entry]\nType=Application\nName=" + EscapeValue(WideToUtf8(name)) +
                       "\nExec=" + EscapeValue(WideToUtf8(m_exec)) + "\n";
    if (!m_icon.empty())
        text += "Icon=" + EscapeValue(WideToUtf8(m_icon)) + "\n";
    text += "MimeType=" + types + "\nTerminal=false\nNoDisplay=true\n";
    return WriteText(GetDesktopEntryPath(), text);
}

std::wstring CXdgAssociationStore::GetOpenCommand()
{
    LoadDesktopEntry();
    return m_exec;
}

void CXdgAssociationStore::SetOpenCommand(const std::wstring& command, const std::wstring& icon)
{
    LoadDesktopEntry();
    m_exec = command;
    m_icon = icon;
    m_iconSource.clear();
    std::error_code error;
    const std::string iconFile = WideToUtf8(icon);
    if (!iconFile.empty() && iconFile[0] == '/' && std::filesystem::is_regular_file(iconFile, error)) {
        // Installed into the icon theme and named by its theme name.
        m_iconSource = iconFile;
        m_icon = Utf8ToWide(std::filesystem::path(GetIconPath()).stem().string());
    }
    m_desktopDirty = true;
}

std::string CXdgAssociationStore::GetIconPath() const
{
    std::wstring name = Lower(m_handlerId.substr(0, m_handlerId.rfind(L".Files")));
    return m_dataHome + "/icons/hicolor/64x64/apps/" + WideToUtf8(name) + ".png";
}

bool CXdgAssociationStore::InstallIcon() const
{
    if (m_iconSource.empty())
        return true;
    std::string bytes;
    return SF_SOFT_BASE::ReadRegularFile(m_iconSource, bytes) && WriteText(GetIconPath(), bytes);
}

bool CXdgAssociationStore::HandlesType(const std::wstring& type)
{
    LoadDesktopEntry();
    return std::any_of(m_handledTypes.begin(), m_handledTypes.end(),
                       [&](const std::wstring& handled) { return SameText(handled, type); });
}

void CXdgAssociationStore::AddHandledType(const std::wstring& type)
{
    LoadDesktopEntry();
    m_handledTypes.push_back(type);
    m_desktopDirty = true;
}

CXdgAssociationStore::MimeAppsFile& CXdgAssociationStore::MimeAppsFileAt(const std::string& path)
{
    for (MimeAppsFile& file : m_mimeAppsFiles)
        if (file.path == path)
            return file;
    MimeAppsFile& file = m_mimeAppsFiles.emplace_back();
    file.path = path;
    file.unreadable = !ReadLines(path, file.lines);
    return file;
}

std::vector<std::string> CXdgAssociationStore::GetDesktopMimeAppsPaths() const
{
    std::vector<std::string> paths;
    for (const std::string& desktop : CurrentDesktops())
        paths.push_back(m_configHome + "/" + desktop + "-mimeapps.list");
    return paths;
}

std::vector<std::string> CXdgAssociationStore::GetMimeAppsLists() const
{
    std::vector<std::string> configFolders{m_configHome};
    for (const std::string& folder : SearchFolders("XDG_CONFIG_DIRS", "/etc/xdg"))
        configFolders.push_back(folder);
    std::vector<std::string> dataFolders{m_dataHome};
    for (const std::string& folder : SearchFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
        dataFolders.push_back(folder);
    const std::vector<std::string> desktops = CurrentDesktops();
    std::vector<std::string> lists;
    auto add = [&](const std::string& folder) {
        for (const std::string& desktop : desktops)
            lists.push_back(folder + "/" + desktop + "-mimeapps.list");
        lists.push_back(folder + "/mimeapps.list");
    };
    for (const std::string& folder : configFolders)
        add(folder);
    for (const std::string& folder : dataFolders)
        add(folder + "/applications");
    return lists;
}

bool CXdgAssociationStore::DesktopEntryExists(const std::string& id) const
{
    std::vector<std::string> folders{m_dataHome};
    for (const std::string& folder : SearchFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
        folders.push_back(folder);
    std::error_code error;
    for (const std::string& folder : folders)
        if (std::filesystem::exists(folder + "/applications/" + id, error))
            return true;
    return false;
}

std::wstring CXdgAssociationStore::GetDefaultHandler(const std::wstring& type)
{
    // As the desktop resolves it: the first listed program that is installed,
    // over every list in order of precedence, for the type or an alias.
    const std::vector<std::string> names = TypeNames(type);
    for (const std::string& list : GetMimeAppsLists()) {
        for (const std::string& id : ListedDefaults(list, names)) {
            if (!DesktopEntryExists(id))
                continue;
            std::wstring handler = Utf8ToWide(id);
            const std::wstring suffix = L".desktop";
            if (handler.size() > suffix.size() && handler.ends_with(suffix))
                handler.resize(handler.size() - suffix.size());
            return handler;
        }
    }
    return {};
}

void CXdgAssociationStore::SetDefaultHandler(const std::wstring& type, const std::wstring& handler)
{
    // A desktop's own list is read first: where it names another default for
    // the type, ours goes before it there too.
    const std::wstring entry = handler + L".desktop";
    const std::vector<std::string> names = TypeNames(type);
    for (const std::string& path : GetDesktopMimeAppsPaths())
        if (Exists(path) && !ListedDefaults(path, names).empty())
            PutDefaultFirst(MimeAppsFileAt(path), WideToUtf8(type), entry);
    PutDefaultFirst(MimeAppsFileAt(GetMimeAppsPath()), WideToUtf8(type), entry);
}

void CXdgAssociationStore::PutDefaultFirst(MimeAppsFile& file, const std::string& type, const std::wstring& entry)
{
    std::vector<std::string>& lines = file.lines;
    int section = -1;
    const int line = FindDefaultLine(lines, type, &section);
    std::wstring value = entry + L";";
    if (line >= 0) {
        const std::string& old = lines[line];
        for (const auto& other : SplitList(Utf8ToWide(Trim(old.substr(old.find('=') + 1)))))
            if (!SameText(other, entry))
                value += other + L";";
    }
    const std::string text = type + "=" + WideToUtf8(value);
    if (line >= 0) {
        lines[line] = text;
    } else if (section >= 0) {
        lines.insert(lines.begin() + section + 1, text);
    } else {
        lines.push_back(kDefaultSection);
        lines.push_back(text);
    }
    file.dirty = true;
}

bool CXdgAssociationStore::WriteMimeApps(const MimeAppsFile& file)
{
    // The user's other defaults live in this file: never replace what could not be read.
    if (file.unreadable)
        return false;
    std::string text;
    for (const auto& line : file.lines)
        text += line + "\n";
    // A linked list (a dot-files folder) is written where the link points.
    std::string path = file.path;
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
        if (error)
            return false;
        path = target.string();
    }
    return WriteText(path, text);
}

std::string CXdgAssociationStore::GetUnavailableReason() const
{
    if (m_dataHome.empty() || m_configHome.empty())
        return "no home folder: HOME is not set, nor XDG_DATA_HOME and XDG_CONFIG_HOME";
    return {};
}

bool CXdgAssociationStore::Flush()
{
    if (!GetUnavailableReason().empty())
        return false;
    // A file that could not be written stays dirty, so the next Flush tries again.
    if (m_packageDirty && WritePackage())
        m_packageDirty = false;
    if (m_desktopDirty && InstallIcon() && WriteDesktopEntry())
        m_desktopDirty = false;
    bool listsWritten = true;
    for (MimeAppsFile& file : m_mimeAppsFiles) {
        if (file.dirty && WriteMimeApps(file))
            file.dirty = false;
        listsWritten = listsWritten && !file.dirty;
    }
    return !m_packageDirty && !m_desktopDirty && listsWritten;
}

void CXdgAssociationStore::NotifyChanged()
{
    if (!GetUnavailableReason().empty())
        return;
    RunTool("update-mime-database", m_dataHome + "/mime");
    RunTool("update-desktop-database", m_dataHome + "/applications");
}
