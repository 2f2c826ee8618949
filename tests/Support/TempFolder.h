#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "Base/TextCodec.h"

// A fresh private folder under the system's temporary folder, removed with
// everything in it.
class TempFolder {
public:
    TempFolder()
    {
        std::error_code error;
        std::filesystem::path base = std::filesystem::temp_directory_path(error);
        if (error)
            base = "/tmp";
        std::string pattern = (base / "lumivex-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempFolder()
    {
        if (m_path.empty())
            return;
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool IsValid() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    std::wstring WidePath() const { return SF_SOFT_BASE::Utf8ToWide(m_path); }
    // The folder followed by "/*.*", as a scan takes it.
    std::wstring Pattern() const { return WidePath() + L"/*.*"; }

    // Makes an empty file (name relative to the folder, UTF-8 bytes).
    bool Touch(const std::string& name) const
    {
        std::ofstream out(File(name));
        return static_cast<bool>(out);
    }
    bool Touch(const std::wstring& name) const { return Touch(SF_SOFT_BASE::WideToUtf8(name)); }
    bool MakeFolder(const std::string& name) const
    {
        std::error_code error;
        return std::filesystem::create_directories(File(name), error);
    }

private:
    std::string m_path;
};

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Makes a folder the current one for the lifetime of the object.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& path) : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(path);
    }
    ~CurrentFolder() { std::filesystem::current_path(m_previous); }

private:
    std::filesystem::path m_previous;
};

// In a child process of a test: runs on as an unprivileged user, so that
// folder permissions apply.
inline void DropRootRights()
{
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        std::exit(2);
}
