#pragma once

#include "Common/IFileAssociationStore.h"

#include <list>
#include <memory>
#include <string>
#include <vector>

// Associates recording file types with this program over an association
// store. The names come from the program file:
//   handler id   its file name with every blank removed, then ".Files"
//   open command "<program path>" %f
// The file types are those the desktop gives the files: our own type
// "video/x-kvx" for ".kvx", else the video and audio types that the shared
// MIME database gives the extension.
class CFileAssociation {
public:
    CFileAssociation(std::shared_ptr<IFileAssociationStore> store, const std::wstring& programPath);

    // Our own type, for ".kvx" recordings.
    static constexpr const wchar_t* kOwnType = L"video/x-kvx";

    // Empty when types can be associated; else why not (the store has no
    // place, e.g. without a home folder).
    std::string GetUnavailableReason() const;
    // 1 when files with the extension open with this program, else 0.
    int IsFileAssociated(const std::wstring& ext);
    // Whether the extension has a file type to associate, and a place to do it.
    bool CanAssociate(const std::wstring& ext) const;
    // Makes files with the extension open with this program; the desktop is
    // told once, when isLast is set.
    void RegisterFileAssociation(const std::wstring& ext, const std::wstring& icon, bool isLast);

    static std::wstring MakeHandlerId(const std::wstring& programPath);
    const std::wstring& GetHandlerId() const { return m_handlerId; }
    const std::wstring& GetOpenCommand() const { return m_openCommand; }
    // The types of the extension; empty when the database knows no video or
    // audio type for it (".ps" is PostScript there, ".kvx_" is unknown).
    std::vector<std::wstring> GetFileTypes(const std::wstring& ext) const;

private:
    std::shared_ptr<IFileAssociationStore> m_store;
    std::wstring m_handlerId;
    std::wstring m_openCommand;
};

// The same for the running program over the desktop's own store
// ($XDG_DATA_HOME and $XDG_CONFIG_HOME).
int IsFileAssociated(const wchar_t* ext);
void RegisterFileAssociation(const wchar_t* ext, const wchar_t* icon, bool isLast);

// Start-up's use: the extensions that can be but are not associated, in list order
// (none, with the reason logged, when nothing can be associated);
// the question asked about them; and their registration, the last with
// isLast set.
std::list<std::wstring> FindUnassociatedFileTypes(CFileAssociation& association,
                                                  const std::list<std::wstring>& extensions);
std::wstring MakeFileAssociationPrompt(const std::list<std::wstring>& extensions);
void RegisterFileTypes(CFileAssociation& association, const std::list<std::wstring>& extensions,
                       const std::wstring& icon);

// The association of the running program (created on first use).
CFileAssociation& GetProgramFileAssociation();
// Before the MIME database is first read: sets the running program's
// package file aside when the XML guard refuses it, and the user's MIME
// database files that are no regular file.
void SetAsideRefusedMimePackage();
