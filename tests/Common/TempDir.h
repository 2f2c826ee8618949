#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "common_test_XXXXXX").string();
        char* made = mkdtemp(pattern.data());
        m_path = made ? made : "";
    }
    ~TempDir()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

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
