#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "Base/TextCodec.h"

// A private folder under /tmp, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/lumivex-fileindex-XXXXXX";
        if (::mkdtemp(pattern))
            m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool IsValid() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    std::wstring WidePath() const { return SF_SOFT_BASE::Utf8ToWide(m_path); }
    // The folder followed by "/*.*", as a scan takes it.
    std::wstring Pattern() const { return WidePath() + L"/*.*"; }

    // Makes an empty file (name relative to the folder, UTF-8 bytes).
    bool Touch(const std::string& name) const
    {
        std::ofstream out(m_path + "/" + name);
        return static_cast<bool>(out);
    }
    bool Touch(const std::wstring& name) const { return Touch(SF_SOFT_BASE::WideToUtf8(name)); }
    bool MakeFolder(const std::string& name) const
    {
        std::error_code error;
        return std::filesystem::create_directories(m_path + "/" + name, error);
    }

private:
    std::string m_path;
};

// In a child process of a test: runs on as an unprivileged user, so that
// folder permissions apply.
inline void DropRootRights()
{
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        std::exit(2);
}
