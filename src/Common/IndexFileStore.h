#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Index files of recordings in one folder: "<name without its last 4
// characters>.qxi", a 24-byte head (the recording's size, creation time and
// modification time, little-endian int64 each) and the playback library's
// index bytes. An index counts only while its head matches the recording.
class CIndexFileStore {
public:
    static constexpr std::uint64_t kLowSpaceBytes = 104857600;  // 100 MiB
    static constexpr std::int64_t kUnusedSeconds = 604800;      // 7 days
    static constexpr std::size_t kHeadSize = 24;

    // Bytes available on the volume of a folder; false when unknown.
    using FreeSpaceQuery = std::function<bool(const std::string& folder, std::uint64_t* bytes)>;

    // folder: wide, with '/' separators and a trailing '/'.
    explicit CIndexFileStore(std::wstring folder, FreeSpaceQuery freeSpace = {});

    std::wstring GetIndexFilePath(const std::wstring& recordingPath) const;
    // Index files are only read when they are regular files: a FIFO or a
    // device in their place counts as no index and never blocks.
    bool IsIndexFileValid(const std::wstring& recordingPath) const;
    // The index data after the head, when the index is valid; false else.
    bool ReadIndexFile(const std::wstring& recordingPath, std::vector<unsigned char>* data) const;
    // Writes the head of the recording and the data as its index file,
    // replacing any older one, after a clean-up when space is low. False
    // when nothing was written (no data, recording not readable, write
    // failed); writeError (when given) gets the errno of a failed write,
    // else 0.
    bool SaveIndexFile(const void* data, std::uint32_t length, const std::wstring& recordingPath,
                       int* writeError = nullptr) const;
    // Deletes the files of the folder last accessed more than 7 days ago.
    void CleanIndexFolder() const;

    struct Head {
        std::int64_t size = 0;
        std::int64_t creationTime = 0;
        std::int64_t modificationTime = 0;
        bool operator==(const Head&) const = default;
    };
    // The head a recording has now; false when its status cannot be read.
    static bool ReadRecordingHead(const std::string& recordingPath, Head* head);

private:
    bool IsSpaceLow() const;
    // Reads up to limit bytes of the index; false unless its head matches
    // the recording. data (if given) receives the bytes after the head.
    bool ReadValidIndex(const std::wstring& recordingPath, std::size_t limit,
                        std::vector<unsigned char>* data) const;

    std::wstring m_folder;
    FreeSpaceQuery m_freeSpace;
};

// The same over "<program folder>/Index/"; an index file that cannot be
// written is told to the user (TellFileProblem).
std::wstring GetIndexFilePath(const std::wstring& recordingPath);
bool IsIndexFileValid(const std::wstring& recordingPath);
bool ReadIndexFile(const std::wstring& recordingPath, std::vector<unsigned char>* data);
bool SaveIndexFile(const void* data, std::uint32_t length, const std::wstring& recordingPath);
void CleanIndexFolder();
