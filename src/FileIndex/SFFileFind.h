#pragma once

#include <cstdint>
#include <string>

#include <dirent.h>

#include "Platform/Win32/Win32Types.h"

// Walks the entries of one folder. FindFile starts a listing from a pattern
// (folder, "/", mask) and makes the first entry current; FindNextFile makes
// the next one current. Hidden entries are those whose name starts with ".".
// Entries that are neither regular files nor folders (FIFOs, sockets,
// devices, dangling links) are system entries; links count as their target.
// Text results point into the object and stay valid until the next text
// call on it.
class CSFFileFind {
public:
    // Attribute bits of an entry, as MatchesMask takes them.
    static constexpr DWORD kAttrHidden = 0x2;
    static constexpr DWORD kAttrSystem = 0x4;
    static constexpr DWORD kAttrDirectory = 0x10;
    static constexpr DWORD kAttrNormal = 0x80;
    static constexpr DWORD kAttrTemporary = 0x100;

    // Error codes GetLastError reports.
    static constexpr DWORD kErrorNone = 0;
    static constexpr DWORD kErrorFileNotFound = 2;
    static constexpr DWORD kErrorPathNotFound = 3;
    static constexpr DWORD kErrorAccessDenied = 5;
    static constexpr DWORD kErrorNoMoreFiles = ERROR_NO_MORE_FILES;  // 18
    static constexpr DWORD kErrorFileNameTooLong = 206;
    static constexpr DWORD kErrorReadFault = 30;

    CSFFileFind() = default;
    virtual ~CSFFileFind();
    CSFFileFind(const CSFFileFind&) = delete;
    CSFFileFind& operator=(const CSFFileFind&) = delete;

    // Closes any running listing, then lists the folder of the pattern.
    // The mask "*" or "*.*" takes every entry; other masks are shell
    // wildcards. False (with GetLastError set) when the folder cannot be read
    // or holds no entry the mask takes.
    bool FindFile(const wchar_t* pattern);
    // Next entry; false at the end (error 18), on a read error and when no
    // listing runs.
    bool FindNextFile();
    void Close();

    bool MatchesMask(DWORD mask) const;
    bool IsDirectory() const { return MatchesMask(kAttrDirectory); }
    bool IsHidden() const { return MatchesMask(kAttrHidden); }
    bool IsSystem() const { return MatchesMask(kAttrSystem); }
    bool IsTemporary() const { return MatchesMask(kAttrTemporary); }
    // The entry of the folder itself or of its parent.
    bool IsDots() const;

    const wchar_t* GetFileName();
    // Root, a "/" unless the root ends with one, and the name; null without
    // a root or a current entry.
    const wchar_t* GetFilePath();
    // The name without its extension.
    const wchar_t* GetFileTitle();
    // The name's extension with its dot; empty when there is none or when it
    // is longer than 15 characters.
    const wchar_t* GetFileExt();
    // Size of the current entry in bytes; 0 without one or when it cannot
    // be read.
    std::uint64_t GetLength() const;
    const wchar_t* GetRoot() const { return m_root.c_str(); }

    DWORD GetLastError() const { return m_lastError; }

private:
    bool ReadNextMatching();
    bool TakesName(const char* name) const;
    void SetCurrent(const char* name, unsigned char type);
    DWORD AttributesOf(const char* name, unsigned char type) const;
    std::size_t ExtensionStart() const;
    static DWORD ErrorFromErrno(int error);

    DIR* m_dir = nullptr;
    std::string m_folderUtf8;  // folder as given to the system
    std::string m_maskUtf8;    // empty: every entry
    std::wstring m_root;

    bool m_hasCurrent = false;
    std::string m_currentUtf8;
    std::wstring m_currentName;
    DWORD m_currentAttributes = 0;

    std::wstring m_nameBuffer;
    std::wstring m_pathBuffer;
    std::wstring m_extBuffer;
    DWORD m_lastError = kErrorNone;
};
