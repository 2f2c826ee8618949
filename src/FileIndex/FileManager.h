#pragma once

#include <functional>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Base/SFMutex.h"
#include "FileIndex/FileIndexTypes.h"

class CNamingRuleParser;
class CSFFileFind;
class IFileManagerListener;

// One channel of one day: recordings by start time in seconds.
struct _CHANNEL_INDEX {
    std::map<int, std::unique_ptr<CFileInfo>> files;
    std::list<int> startTimes;
};

using _CHANNEL_MAP = std::map<int, std::unique_ptr<_CHANNEL_INDEX>>;

// One recorder group: day key -> the day's channels.
struct _GROUP_INDEX {
    std::map<int, std::unique_ptr<_CHANNEL_MAP>> days;
    std::list<int> dayKeys;
};

struct _FILE_INDEX {
    std::map<std::wstring, std::unique_ptr<_GROUP_INDEX>> groups;
    std::map<int, std::unique_ptr<CFileInfo>> singleFiles;  // by file id
    std::set<std::wstring> singleFilePaths;
};

// The index of every recorded file opened since start: recordings by group,
// day, channel and start time; other files of a supported type by file id.
//
// Every operation takes the manager's lock, so the index may be read from
// any thread while loop 2 changes it. GetFileInfo, FindChannelMap and
// GetFileIndex return pointers into the index: hold GetLock() while using
// them from any thread but the one that changes the index.
class CFileManager {
public:
    // extensions: the supported record extensions (null: the default list).
    explicit CFileManager(IFileManagerListener* listener,
                          const std::list<std::wstring>* extensions = nullptr);
    ~CFileManager();
    CFileManager(const CFileManager&) = delete;
    CFileManager& operator=(const CFileManager&) = delete;

    // Indexes the entries directly in the pattern's folder ("<folder>/*.*"),
    // drops the indexed files of that folder that are gone from it (when the
    // folder could be read), then reports the whole index to the listener. *noMatch ends 0 when a
    // file of a supported type was met. False only for a null pattern.
    bool LoadPath(const wchar_t* pattern, int* noMatch);
    // LoadPath for each pattern in turn, the index sorted and reported once at
    // the end. (*noMatch)[i] is pattern i's noMatch.
    void LoadPaths(const std::vector<std::wstring>& patterns, std::vector<int>* noMatch);
    // LoadPaths over count patterns, each made by patternAt(i) just before
    // its folder is scanned and dropped after.
    void LoadPaths(std::size_t count, const std::function<std::wstring(std::size_t)>& patternAt,
                   std::vector<int>* noMatch);
    bool ScanFolder(const std::wstring& pattern, const std::wstring& folderName, int depth, int* noMatch);
    // False when the path is already indexed.
    bool AddSingleFile(const wchar_t* path);
    // The parser holds a successfully parsed name. False when the channel
    // already lists this path at that start time; another path with that
    // start takes the listed one's place.
    bool AddRecording(const CNamingRuleParser* parsed, const wchar_t* path);
    void SortIndex();
    void PublishIndex();

    CFileInfo* GetFileInfo(int fileId);
    _CHANNEL_MAP* FindChannelMap(const wchar_t* group, int dayKey);
    // Group days by name, then day; their paths by channel key, then start.
    // Lists nothing while no listener is set.
    bool GetGroupFileList(std::list<_GROUP_FILE_INFO>* groups, std::vector<std::wstring>* paths);
    bool GetSingleFileList(std::list<_SINGLE_FILE_INFO>* singles, std::vector<std::wstring>* ignored);
    // fileId != 0: that single file. Otherwise, in group: channelKey -1 and
    // dayKey 0 the whole group, channelKey -1 the day, else that channel of
    // the day. Emptied days and groups go too.
    void RemoveFiles(const wchar_t* group, int dayKey, int channelKey, int fileId);
    _FILE_INDEX* GetFileIndex() { return m_index.get(); }

    void SetListener(IFileManagerListener* listener);

    SF_SOFT_BASE::CSFMutex* GetLock() const { return &m_lock; }

private:
    // A recording met by a folder scan, its record made: inserted with the
    // others once the scan ends, in index order, so that each insert lands
    // at a tree's end.
    struct PendingRecording {
        int group = 0;  // index into PendingScan::names
        int dayKey = 0;
        int channel = 0;
        int startKey = 0;
        std::unique_ptr<CFileInfo> record;
    };
    struct PendingScan {
        std::vector<PendingRecording> recordings;
        std::vector<std::wstring> singles;  // paths of other supported files
        std::vector<std::wstring> names;
        std::unordered_map<std::wstring, int> groups;
        // The folder of the paths met last, shared by their records.
        std::wstring folderText;
        CCompactPath::Folder folder;
        void Queue(const CNamingRuleParser& parsed, std::unique_ptr<CFileInfo> record, const wchar_t* path);
        const CCompactPath::Folder& FolderOf(std::wstring_view folderText);
    };

    bool IsEmpty() const;
    void ScanEntries(const std::wstring& pattern, int depth, int* noMatch, PendingScan& scan);
    void AddPendingRecordings(PendingScan& scan);
    // In natural order of their paths: the files of a folder by name.
    void AddPendingSingles(PendingScan& scan);
    _GROUP_INDEX& GroupOf(const std::wstring& name);
    _CHANNEL_INDEX& ChannelOf(_GROUP_INDEX& group, int dayKey, int channel);
    // A record of the parsed name's times, marked as met by the running load.
    std::unique_ptr<CFileInfo> MakeRecord(const CNamingRuleParser& parsed) const;
    std::size_t CountGroupFiles() const;
    bool InsertFile(_CHANNEL_INDEX& channel, int startKey, std::unique_ptr<CFileInfo> record);
    void ExamineEntry(CSFFileFind& find, CNamingRuleParser& parser, int depth, int* noMatch, PendingScan& scan);
    void RemoveSingleFile(int fileId);
    // Indexes the pattern's folder; notes the folder (with its "/") in
    // listedFolders (when given) when it could be read to its end.
    void ScanListedFolder(const std::wstring& pattern, int* noMatch, std::set<std::wstring>* listedFolders);
    // Drops the files directly in one of the folders that the last load did not meet.
    void RemoveVanishedFiles(const std::set<std::wstring>& folders);
    static bool IsInOneOf(const std::wstring& path, const std::set<std::wstring>& folders);
    void RemoveDay(std::map<std::wstring, std::unique_ptr<_GROUP_INDEX>>::iterator group, int dayKey);
    void RemoveChannel(std::map<std::wstring, std::unique_ptr<_GROUP_INDEX>>::iterator group,
                       int dayKey, int channelKey);
    void RemoveGroupIfEmpty(std::map<std::wstring, std::unique_ptr<_GROUP_INDEX>>::iterator group);

    std::unique_ptr<_FILE_INDEX> m_index;
    IFileManagerListener* m_listener;
    std::list<std::wstring> m_extensions;
    mutable SF_SOFT_BASE::CSFMutex m_lock;
    // Number of the running load (files it meets carry it), the single
    // files it met, and whether its folder was listed to its end.
    std::uint32_t m_loadMark = 0;
    std::unordered_set<std::wstring> m_seenSingles;
    bool m_folderListed = false;
};
