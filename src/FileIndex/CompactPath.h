#pragma once

#include <memory>
#include <string>
#include <string_view>

// A wide path held in few bytes: each character as a variable-length code
// (7 bits a byte, one byte below 128), so every wchar_t value survives. The
// folder part may be shared by the paths of one folder; the rest is one
// block of its own.
class CCompactPath {
public:
    // Encoded folder text, shared by the paths that start with it.
    using Folder = std::shared_ptr<const std::string>;
    static Folder MakeFolder(std::wstring_view folder);

    CCompactPath() = default;
    CCompactPath(const CCompactPath& other);
    CCompactPath& operator=(const CCompactPath& other);
    CCompactPath(CCompactPath&&) noexcept = default;
    CCompactPath& operator=(CCompactPath&&) noexcept = default;
    ~CCompactPath() = default;

    void Assign(std::wstring_view path);
    // The path folder + name; folder may be null (no folder part).
    void Assign(const Folder& folder, std::wstring_view name);

    std::wstring ToWide() const;
    // The decoded path, kept in the object until the path changes.
    const wchar_t* CStr() const;
    bool operator==(const CCompactPath& other) const;

private:
    std::string_view FolderBytes() const;
    std::string_view RestBytes() const;

    Folder m_folder;
    std::unique_ptr<char[]> m_rest;  // byte count (4 bytes), then the codes
    mutable std::unique_ptr<std::wstring> m_wide;
};
