#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "Base/SFDateTime.h"
#include "FileIndex/CompactPath.h"

// Records and keys by which the program names a recorded file.
//
// File id: key of a single file (a file whose name does not follow the
// naming rule); handed out by a process-wide counter starting at 1.
// Day key: time value of local midnight of a recording's start date.
// Channel key: channel number in the low 24 bits, stream index in the top
// bits (0 main stream, N extra stream N); -1 marks a single file.

namespace FileIndexKeys {

constexpr int kChannelBits = 24;
constexpr std::int32_t kMaxChannel = 0x00FFFFFF;
// Streams stay below 128 so that every key is positive: keys then sort by
// stream, then channel, and can never collide with the single-file mark -1.
constexpr std::int32_t kMaxStream = 0x7F;
constexpr std::int32_t kSingleFileChannel = -1;

constexpr std::int32_t MakeChannelKey(std::int32_t channel, std::int32_t stream)
{
    return (stream << kChannelBits) | channel;
}
constexpr std::int32_t GetChannelNumber(std::int32_t key) { return key & kMaxChannel; }
constexpr std::int32_t GetStreamIndex(std::int32_t key)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(key) >> kChannelBits);
}
constexpr bool IsValidChannel(std::int64_t channel) { return channel >= 1 && channel <= kMaxChannel; }
constexpr bool IsValidStream(std::int64_t stream) { return stream >= 0 && stream <= kMaxStream; }

// Takes the next file id from the process-wide counter (1, 2, 3 ...).
std::int32_t TakeNextFileId();
// The id the next call of TakeNextFileId hands out.
std::int32_t PeekNextFileId();

}  // namespace FileIndexKeys

// Publishing order of channel keys: by channel number, then stream index.
struct ChannelStreamKey {
    bool operator()(std::int32_t a, std::int32_t b) const;
};

// Day key of a date-time: local midnight of its date.
std::int32_t GetDayKey(const SF_SOFT_BASE::CSFDateTime& date);

// One indexed file: start and end from its name (zero for a single file)
// and its full path, held compactly (see CCompactPath).
class CFileInfo {
public:
    // Stores a path of any length; null stores an empty path.
    void SetPath(const wchar_t* path);
    // The path folder + name, sharing the folder's text with other records.
    void SetPath(const CCompactPath::Folder& folder, std::wstring_view name);
    void SetStartTime(const SF_SOFT_BASE::CSFDateTime& time) { m_start = time; }
    void SetEndTime(const SF_SOFT_BASE::CSFDateTime& time) { m_end = time; }

    const SF_SOFT_BASE::CSFDateTime* GetStartTime() const { return &m_start; }
    const SF_SOFT_BASE::CSFDateTime* GetEndTime() const { return &m_end; }
    // Decoded on the first call and kept until the path changes (a first
    // call writes to the record: for records of the index, hold the lock).
    const wchar_t* GetPath() const { return m_path.CStr(); }
    std::wstring GetPathString() const { return m_path.ToWide(); }
    bool HasSamePath(const CFileInfo& other) const { return m_path == other.m_path; }

    // Number of the last folder load that met the file.
    void SetLoadMark(std::uint32_t mark) { m_loadMark = mark; }
    std::uint32_t GetLoadMark() const { return m_loadMark; }

private:
    SF_SOFT_BASE::CSFDateTime m_start;
    SF_SOFT_BASE::CSFDateTime m_end;
    CCompactPath m_path;
    std::uint32_t m_loadMark = 0;
};

// Kind of a file-path request.
enum QUERY_FILEPATH_TYPE : std::int32_t {
    QUERY_FILEPATH_SINGLE = 0,   // key: file id
    QUERY_FILEPATH_CHANNEL = 1,  // key: day key; the request's channels of that day
    QUERY_FILEPATH_DAY = 2,      // key: day key; every channel of that day
};

// One file to play.
struct _QUERY_FILE_INFO {
    std::wstring path;
    std::int32_t queryType = QUERY_FILEPATH_SINGLE;
    std::int32_t requestKey = 0;   // file id (single) or day key
    std::int32_t channelKey = FileIndexKeys::kSingleFileChannel;
    std::int32_t window = -1;      // sub-window to play in, -1 the current one
    std::int32_t fileId = 0;       // file id, or a recording's start time in seconds
    std::int32_t startTime = -1;   // seconds since 1970, -1 until known
    std::int32_t endTime = -1;
    std::int32_t endMark = 0;
    std::int32_t directionMark = 0;
    std::int32_t pauseMark = 0;
    std::int32_t indexMark = 0;
    std::int32_t fileType = 0;
};

// One single file of a list.
struct _SINGLE_FILE_INFO {
    std::int32_t fileId = 0;
    std::wstring path;
};

// One item of a file list: a group day (day key, channel key -> item
// handle of the list showing it) or a single file (file id, no channels).
struct _GROUP_FILE_INFO {
    std::wstring groupName;
    std::int32_t key = 0;
    std::map<int, void*> channels;

    bool IsSingleFile() const { return channels.empty(); }
};
