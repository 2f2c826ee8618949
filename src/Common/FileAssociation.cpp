#include "Common/FileAssociation.h"

#include "Common/LangString.h"
#include "Common/XdgAssociationStore.h"

#include <QCoreApplication>
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

std::wstring ToTypeToken(const std::wstring& text)
{
    std::wstring token;
    for (wchar_t c : text) {
        c = static_cast<wchar_t>(std::towlower(c));
        bool allowed = (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'_' ||
                       c == L'-' || c == L'+' || c == L'.';
        token += allowed ? c : L'-';
    }
    return token;
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

std::wstring CFileAssociation::GetFileType(const std::wstring& ext) const
{
    std::wstring base = m_handlerId.substr(0, m_handlerId.size() - 6);
    std::wstring extension = !ext.empty() && ext[0] == L'.' ? ext.substr(1) : ext;
    return L"video/x-" + ToTypeToken(base) + L"-" + ToTypeToken(extension);
}

int CFileAssociation::IsFileAssociated(const std::wstring& ext)
{
    const std::wstring type = GetFileType(ext);
    if (!SameText(m_store->GetExtensionType(ext), type))
        return 0;
    if (!SameText(m_store->GetOpenCommand(), m_openCommand))
        return 0;
    if (!m_store->HandlesType(type))
        return 0;
    return SameText(m_store->GetDefaultHandler(type), m_handlerId) ? 1 : 0;
}

void CFileAssociation::RegisterFileAssociation(const std::wstring& ext, const std::wstring& icon,
                                               bool isLast)
{
    const std::wstring type = GetFileType(ext);
    if (!SameText(m_store->GetExtensionType(ext), type))
        m_store->SetExtensionType(ext, type);
    if (!SameText(m_store->GetOpenCommand(), m_openCommand))
        m_store->SetOpenCommand(m_openCommand, icon);
    if (!m_store->HandlesType(type))
        m_store->AddHandledType(type);
    if (!SameText(m_store->GetDefaultHandler(type), m_handlerId))
        m_store->SetDefaultHandler(type, m_handlerId);
    m_store->Flush();
    if (isLast)
        m_store->NotifyChanged();
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
    for (const auto& ext : extensions)
        if (!association.IsFileAssociated(ext))
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
