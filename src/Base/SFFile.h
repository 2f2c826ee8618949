#pragma once

#include <cstdint>
#include <string>

namespace SF_SOFT_BASE {

// A file handle with 64-bit positioning, and static folder and disk helpers.
class CSFFile {
public:
    CSFFile() = default;
    virtual ~CSFFile();
    CSFFile(const CSFFile&) = delete;
    CSFFile& operator=(const CSFFile&) = delete;

    // access: GENERIC_READ/GENERIC_WRITE; disposition: CREATE_NEW .. TRUNCATE_EXISTING.
    // 1 on success, 0 on failure.
    int Open(const char* name, std::uint32_t access, std::uint32_t shareMode,
             std::uint32_t creationDisposition, std::uint32_t flags);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    // Bytes transferred, 0 on failure.
    std::uint32_t Read(void* buffer, std::uint32_t count);
    std::uint32_t Write(const void* buffer, std::uint32_t count);
    // origin 0 begin, 1 current, 2 end (offset counts back from the end).
    // 1 on success, 0 on failure.
    int Seek(std::uint32_t low, std::uint32_t high, int origin);
    // Moves to the end and reports the file length in two halves.
    int SeekToEnd(std::uint32_t* high, std::uint32_t* low);

    static int CreateDirectory(const char* path);
    static int DeleteFile(const char* path);
    // Writes the current folder (terminated, cut to size) into buffer.
    static void GetCurrentDirectory(std::uint32_t size, char* buffer);
    // Bytes available to the caller on the volume holding path; 1 on success.
    static int GetDiskFreeSpace(const char* path, std::uint64_t* freeBytes);

private:
    int m_fd = -1;
};

}  // namespace SF_SOFT_BASE
