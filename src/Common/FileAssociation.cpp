#include "Common/FileAssociation.h"

#include "Common/LangString.h"
#include "Common/XdgAssociationStore.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMimeDatabase>
#include <QString>

#include "Base/SFSystem.h"
#include "Base/TextCodec.h"

#include <cwctype>
#include <filesystem>

namespace {

constexpr const wchar_t* kPromptText =
    L"The file types(%s) doesn't associate to the program, do you want to associate to it?";

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return QString::fromStdWString(a).compare(QString::fromStdWString(b), Qt::CaseInsensitive) == 0;
}

std::wstring FileNameOf(const std::wstring& path)
{
    auto slash = path.find_last_of(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring WithoutBlanks(std::wstring text)
{
    std::erase(text, L' ');
    return text;
}

bool IsOwnExtension(const std::wstring& ext)
{
    return SameText(ext, L".kvx");
}

bool IsMediaType(const QString& name)
{
    return name.startsWith(QLatin1String("video/")) || name.startsWith(QLatin1String("audio/"));
}

// Double quotes around the path, with the characters that the desktop
// entry's quoting reserves escaped.
std::wstring QuoteForExec(const std::wstring& path)
{
    std::wstring quoted = L"\"";
    for (wchar_t c : path) {
        if (c == L'"' || c == L'`' || c == L'$' || c == L'\\')
            quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

std::wstring RunningProgramPath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath().toStdWString();
    std::error_code error;
    return SF_SOFT_BASE::Utf8ToWide(std::filesystem::read_symlink("/proc/self/exe", error).string());
}

}  // namespace

CFileAssociation::CFileAssociation(std::shared_ptr<IFileAssociationStore> store,
                                   const std::wstring& programPath)
    : m_store(std::move(store)),
      m_handlerId(MakeHandlerId(programPath)),
      m_openCommand(QuoteForExec(programPath) + L" %f")
{
}

std::wstring CFileAssociation::MakeHandlerId(const std::wstring& programPath)
{
    return WithoutBlanks(FileNameOf(programPath)) + L".Files";
}

std::string CFileAssociation::GetUnavailableReason() const
{
    return m_store ? m_store->GetUnavailableReason() : std::string("no association store");
}

bool CFileAssociation::CanAssociate(const std::wstring& ext) const
{
    return GetUnavailableReason().empty() && !GetFileTypes(ext).empty();
}

std::vector<std::wstring> CFileAssociation::GetFileTypes(const std::wstring& ext) const
{
    if (IsOwnExtension(ext))
        return {kOwnType};
    std::vector<std::wstring> types;
    const QString fileName = QStringLiteral("file") + QString::fromStdWString(ext).toLower();
    for (const QMimeType& type : QMimeDatabase().mimeTypesForFileName(fileName))
        if (IsMediaType(type.name()))
            types.push_back(type.name().toStdWString());
    return types;
}

int CFileAssociation::IsFileAssociated(const std::wstring& ext)
{
    const std::vector<std::wstring> types = GetFileTypes(ext);
    if (types.empty() || !GetUnavailableReason().empty())
        return 0;
    if (IsOwnExtension(ext) && !SameText(m_store->GetExtensionType(ext), kOwnType))
        return 0;
    if (!SameText(m_store->GetOpenCommand(), m_openCommand))
        return 0;
    for (const std::wstring& type : types) {
        if (!m_store->HandlesType(type))
            return 0;
        // The program the desktop opens the type with, over all its lists.
        if (!SameText(m_store->GetDefaultHandler(type), m_handlerId))
            return 0;
    }
    return 1;
}

void CFileAssociation::RegisterFileAssociation(const std::wstring& ext, const std::wstring& icon,
                                               bool isLast)
{
    if (!GetUnavailableReason().empty())
        return;
    if (IsOwnExtension(ext) && !SameText(m_store->GetExtensionType(ext), kOwnType))
        m_store->SetExtensionType(ext, kOwnType);
    if (!SameText(m_store->GetOpenCommand(), m_openCommand))
        m_store->SetOpenCommand(m_openCommand, icon);
    for (const std::wstring& type : GetFileTypes(ext)) {
        if (!m_store->HandlesType(type))
            m_store->AddHandledType(type);
        if (!SameText(m_store->GetDefaultHandler(type), m_handlerId))
            m_store->SetDefaultHandler(type, m_handlerId);
    }
    m_store->Flush();
    if (isLast)
        m_store->NotifyChanged();
}

void SetAsideRefusedMimePackage()
{
    const CXdgAssociationStore store =
        CXdgAssociationStore::FromEnvironment(CFileAssociation::MakeHandlerId(RunningProgramPath()));
    store.SetAsideRefusedPackage();
    store.SetAsideIrregularMimeFiles();
}

CFileAssociation& GetProgramFileAssociation()
{
    static CFileAssociation association = [] {
        const std::wstring program = RunningProgramPath();
        auto store = std::make_shared<CXdgAssociationStore>(
            CXdgAssociationStore::FromEnvironment(CFileAssociation::MakeHandlerId(program)));
        return CFileAssociation(store, program);
    }();
    return association;
}

int IsFileAssociated(const wchar_t* ext)
{
    return ext ? GetProgramFileAssociation().IsFileAssociated(ext) : 0;
}

void RegisterFileAssociation(const wchar_t* ext, const wchar_t* icon, bool isLast)
{
    if (ext)
        GetProgramFileAssociation().RegisterFileAssociation(ext, icon ? icon : L"", isLast);
}

std::list<std::wstring> FindUnassociatedFileTypes(CFileAssociation& association,
                                                  const std::list<std::wstring>& extensions)
{
    std::list<std::wstring> missing;
    const std::string reason = association.GetUnavailableReason();
    if (!reason.empty()) {
        qWarning("File types are not associated with the program: %s", reason.c_str());
        return missing;
    }
    for (const auto& ext : extensions)
        if (association.CanAssociate(ext) && !association.IsFileAssociated(ext))
            missing.push_back(ext);
    return missing;
}

std::wstring MakeFileAssociationPrompt(const std::list<std::wstring>& extensions)
{
    std::wstring joined;
    for (const auto& ext : extensions)
        joined += ext + L" ,";
    if (!joined.empty())
        joined.pop_back();
    std::wstring text = GetLangString(kPromptText);
    auto mark = text.find(L"%s");
    if (mark != std::wstring::npos)
        text.replace(mark, 2, joined);
    return text;
}

void RegisterFileTypes(CFileAssociation& association, const std::list<std::wstring>& extensions,
                       const std::wstring& icon)
{
    std::size_t left = extensions.size();
    for (const auto& ext : extensions)
        association.RegisterFileAssociation(ext, icon, --left == 0);
}
