#include "Export/ExportViewPlayLogic.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include <unistd.h>

#include "Base/SFSystem.h"
#include "Export/ExportLog.h"

#include "Base/PostTask.h"
#include "Base/FileSystemHelpers.h"
#include "Base/SFStreamConvert.h"
#include "Common/IndexFileStore.h"
#include "Export/ExportViewUILogic.h"
#include "Export/LocalTimeFields.h"
#include "FileIndex/NamingRuleParser.h"
#include "PlayManager/PlayHandle.h"
#include "PlayManager/PlayManager.h"
#include "PlayManager/PlayObject.h"
#include "PlayManager/RecordingOpener.h"
#include "Platform/PlayModule/PlayModuleTypes.h"
#include "Platform/PlayModule/Source/KvxFooterKeyFrames.h"
#include "Platform/Win32/Win32Types.h"

using namespace LumivexBase;

namespace {

constexpr int kPlayWithIndexSeek = 1;

std::string MultiByte(const std::wstring& path)
{
    return SF_SOFT_BASE::CSFStreamConvert(path.c_str(), 0).GetMultiByteString();
}

// The last millisecond of a lookup's span: a clip's span ends before its end
// second (a key frame right at the end starts no group of it); a picture
// series also takes the end second.
std::int64_t LastMsOf(unsigned int endTime, bool endSecondIncluded, unsigned int startTime)
{
    const bool endsBefore = !endSecondIncluded && endTime > startTime;
    return endsBefore ? std::int64_t(endTime) * 1000 - 1 : std::int64_t(endTime) * 1000;
}

// A readable regular file (a FIFO is refused without blocking the loop).
bool IsReadable(const std::string& path)
{
    const int fd = SF_SOFT_BASE::OpenRegularFileForReading(path);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

}  // namespace

CExportViewPlayLogic::CExportViewPlayLogic() : CExportViewPlayLogic(CPlayManager::Create()) {}

CExportViewPlayLogic::CExportViewPlayLogic(boost::shared_ptr<CPlayManager> manager)
    : m_playManager(std::move(manager))
{
}

CExportViewPlayLogic::~CExportViewPlayLogic()
{
    m_files.clear();
}

void* CExportViewPlayLogic::Find(int key) const
{
    const auto found = m_files.find(key);
    return found == m_files.end() ? nullptr : found->second.handle;
}

// Opens a kept file under its handle; false when it cannot be opened.
bool CExportViewPlayLogic::Wake(int key)
{
    File& file = m_files.at(key);
    if (file.open)
        return true;
    boost::shared_ptr<CExportViewUILogic> listener = m_uiLogic.lock();
    if (!OpenRecording(*m_playManager, kPlayWithIndexSeek, file.handle, listener, file.path))
        return false;
    file.open = true;
    TimeByName(file.handle, file.path);
    return true;
}

// Closes a file's play object (keeping an index it built) and keeps its record.
void CExportViewPlayLogic::Sleep(int key)
{
    const auto found = m_files.find(key);
    m_lookupOpen.erase(key);
    if (found == m_files.end() || !found->second.open)
        return;
    Task_SaveRef(key, found->second.path);
    CloseRecording(*m_playManager, found->second.handle);
    found->second.open = false;
    StartWaitingLookups();
}

template <class Method, class... Args>
void CExportViewPlayLogic::Answer(Method method, const char* name, Args... args)
{
    boost::shared_ptr<CExportViewUILogic> target = m_uiLogic.lock();
    if (!target)
        return;  // the page is going
    PostTaskToLoop(ML_MAIN, MakeTask(method, target, args...), ".\\Export\\ExportView_PlayLogic", __LINE__,
                   name, "CExportViewPlayLogic");
}

void CExportViewPlayLogic::Task_OpenFileWithName(int key, std::wstring path)
{
    const std::string file = MultiByte(path);
    if (!IsReadable(file)) {
        Answer(&CExportViewUILogic::Task_OnOpenFileFailed, "&CExportViewUILogic::Task_OnOpenFileFailed", key);
        return;
    }
    // Kept as its record: the library opens it when it plays or is looked up.
    void* handle = NewPlayHandle();
    m_files[key] = File{handle, path, false};
    Answer(&CExportViewUILogic::Task_OnCreatePlayHandle, "&CExportViewUILogic::Task_OnCreatePlayHandle", handle,
           key);
    if (!IsIndexFileValid(path))
        Answer(&CExportViewUILogic::Task_OnGetLocalIndexFailed,
               "&CExportViewUILogic::Task_OnGetLocalIndexFailed", handle, key);
    Answer(&CExportViewUILogic::Task_OnOpenFileWithNameSuccess,
           "&CExportViewUILogic::Task_OnOpenFileWithNameSuccess", handle, key);
}

// A recording without times of its own is placed by its name, as the page
// places it: the library finds the key frames of the page's span on the
// page's clock, and the export times its frames on it.
void CExportViewPlayLogic::TimeByName(void* handle, const std::wstring& path)
{
    const boost::shared_ptr<CPlayObject> object = m_playManager->GetSptrPlayObject(handle);
    IPlayLibrary* library = object ? object->Library() : nullptr;
    if (!library || library->IsGetFileTimeInfo() == 1)
        return;
    CNamingRuleParser parser;
    const std::wstring name = path.substr(path.find_last_of(L"/\\") + 1);
    if (parser.Parse(name.c_str()))
        library->SetFileTimeInfo(parser.StartKey(), parser.end.ToTime());
}

void CExportViewPlayLogic::Task_OpenFile(int key)
{
    Answer(&CExportViewUILogic::Task_OnOpenFileSuccess, "&CExportViewUILogic::Task_OnOpenFileSuccess", Find(key),
           key);
}

void CExportViewPlayLogic::Task_Play(int key)
{
    void* handle = Find(key);
    if (handle && !Wake(key)) {
        // Refused by the library: the open ends, then the file goes.
        Answer(&CExportViewUILogic::Task_OnOpenFileFailed, "&CExportViewUILogic::Task_OnOpenFileFailed", key);
        Task_DeleteHandle(key);
        handle = nullptr;
    }
    if (handle && m_lookupOpen.erase(key))
        StartWaitingLookups();
    // A refused play answers as an unknown key, so the request ends.
    if (handle && !m_playManager->Play(handle, nullptr))
        handle = nullptr;
    Answer(&CExportViewUILogic::Task_OnPlay, "&CExportViewUILogic::Task_OnPlay", handle, key);
}

void CExportViewPlayLogic::Task_Pause(int key)
{
    void* handle = Find(key);
    if (!handle)
        return;
    m_playManager->Pause(handle);
    Answer(&CExportViewUILogic::Task_OnPause, "&CExportViewUILogic::Task_OnPause", handle, key);
}

void CExportViewPlayLogic::Task_Stop(int key)
{
    void* handle = Find(key);
    if (handle)
        m_playManager->Pause(handle);
    Answer(&CExportViewUILogic::Task_OnStop, "&CExportViewUILogic::Task_OnStop", handle, key);
}

void CExportViewPlayLogic::Task_StopAndReset(int key)
{
    void* handle = Find(key);
    if (handle) {
        m_playManager->Stop(handle);
        Sleep(key);
    }
    Answer(&CExportViewUILogic::Task_OnStop, "&CExportViewUILogic::Task_OnStop", handle, key);
}

void CExportViewPlayLogic::Task_Close(int key)
{
    void* handle = Find(key);
    if (handle) {
        m_playManager->Stop(handle);
        Sleep(key);
    }
    Answer(&CExportViewUILogic::Task_OnClose, "&CExportViewUILogic::Task_OnClose", handle, key);
}

void CExportViewPlayLogic::Task_SetSpeed(int key, float speed)
{
    if (void* handle = Find(key))
        m_playManager->SetSpeed(handle, speed);
}

void CExportViewPlayLogic::Task_SetPlayDirection(int key, unsigned int direction)
{
    if (void* handle = Find(key))
        m_playManager->SetPlayDirection(handle, direction);
}

void CExportViewPlayLogic::Task_Seek(int key, unsigned int time)
{
    if (void* handle = Find(key))
        m_playManager->SeekByTime(handle, time);
}

void CExportViewPlayLogic::Task_RePlay(int key)
{
    if (void* handle = Find(key))
        m_playManager->SeekByPercent(handle, 0.0f);
}

void CExportViewPlayLogic::Task_StepForward(int key)
{
    void* handle = Find(key);
    if (!handle)
        return;
    Task_Pause(key);
    m_playManager->StepForward(handle);
}

void CExportViewPlayLogic::Task_StepBackward(int key)
{
    void* handle = Find(key);
    if (!handle)
        return;
    Task_Pause(key);
    m_playManager->StepBackward(handle);
}

void CExportViewPlayLogic::Task_SaveRef(int key, std::wstring path)
{
    void* handle = Find(key);
    if (!handle || IsIndexFileValid(path))
        return;
    // Asked without a buffer, the library answers 0 and the length it needs.
    unsigned int length = 0;
    m_playManager->GetRefValue(handle, nullptr, &length);
    if (length == 0)
        return;
    std::vector<unsigned char> index(length);
    if (m_playManager->GetRefValue(handle, index.data(), &length) && length > 0 && length <= index.size())
        SaveIndexFile(index.data(), length, path);
}

void CExportViewPlayLogic::Task_AnalyseFilePos(int key, unsigned int startTime, unsigned int endTime,
                                               bool endSecondIncluded)
{
    if (!Find(key))
        return;
    m_lookups.push_back(Lookup{key, startTime, endTime, endSecondIncluded});
    PostLookups();
}

void CExportViewPlayLogic::PostLookups()
{
    if (m_lookupsPosted || m_lookups.empty())
        return;
    m_lookupsPosted = true;
    PostTaskToLoop(ML_PLAY, MakeTask(&CExportViewPlayLogic::Task_RunLookups, shared_from_this()),
                   ".\\Export\\ExportView_PlayLogic", __LINE__, "&CExportViewPlayLogic::Task_RunLookups",
                   "CExportViewPlayLogic");
}

void CExportViewPlayLogic::Task_RunLookups()
{
    m_lookupsPosted = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLookupSliceMs);
    while (!m_lookups.empty() && std::chrono::steady_clock::now() < end) {
        const Lookup lookup = m_lookups.front();
        m_lookups.pop_front();
        Take(lookup);
    }
    PostLookups();
}

// A lookup is answered by its recording's footer, by the open recording, or
// by opening it when fewer than kLookupOpens are open for lookups; else it
// waits for one of them to close.
void CExportViewPlayLogic::Take(Lookup lookup)
{
    const auto found = m_files.find(lookup.key);
    if (found == m_files.end())
        return;
    if (!found->second.open && !lookup.footerRead) {
        if (AnswerFromFooter(lookup))
            return;
        lookup.footerRead = true;
    }
    if (!found->second.open && m_lookupOpen.size() >= kLookupOpens) {
        m_waitingOpen.push_back(lookup);
        return;
    }
    LookUp(lookup);
}

bool CExportViewPlayLogic::AnswerFromFooter(const Lookup& lookup)
{
    const File& file = m_files.at(lookup.key);
    const std::int64_t lastMs = LastMsOf(lookup.endTime, lookup.endSecondIncluded, lookup.startTime);
    const auto span =
        PLAY_MODULE::KvxFooterKeyFrames(MultiByte(file.path), std::int64_t(lookup.startTime) * 1000, lastMs);
    if (!span || span->next < span->first)
        return false;
    Answer(&CExportViewUILogic::Task_OnAnalyseFileSuccess, "&CExportViewUILogic::Task_OnAnalyseFileSuccess",
           file.handle, lookup.key, span->first, span->next);
    return true;
}

void CExportViewPlayLogic::Task_EndAnalysis(int key)
{
    if (m_lookupOpen.count(key))
        Sleep(key);
}

void CExportViewPlayLogic::Task_DropLookups()
{
    std::list<int> keys;
    for (const std::deque<Lookup>* queue : {&m_lookups, &m_waitingOpen})
        for (const Lookup& lookup : *queue)
            keys.push_back(lookup.key);
    m_lookups.clear();
    m_waitingOpen.clear();
    if (!keys.empty())
        Answer(&CExportViewUILogic::Task_OnLookupsDropped, "&CExportViewUILogic::Task_OnLookupsDropped", keys);
}

// Lookups waiting for a place go first, as many as there are places.
void CExportViewPlayLogic::StartWaitingLookups()
{
    const std::size_t places =
        std::min(kLookupOpens - std::min(kLookupOpens, m_lookupOpen.size()), m_waitingOpen.size());
    m_lookups.insert(m_lookups.begin(), m_waitingOpen.begin(), m_waitingOpen.begin() + std::ptrdiff_t(places));
    m_waitingOpen.erase(m_waitingOpen.begin(), m_waitingOpen.begin() + std::ptrdiff_t(places));
    PostLookups();
}

void CExportViewPlayLogic::LookUp(const Lookup& lookup)
{
    const int key = lookup.key;
    void* handle = Find(key);
    if (!handle)
        return;
    const bool wasOpen = m_files[key].open;
    if (!Wake(key)) {
        // Cannot be opened: reported as an index that failed, so the export fails.
        Answer(&CExportViewUILogic::OnFileRefFinished, "&CExportViewUILogic::OnFileRefFinished", handle, 0);
        Answer(&CExportViewUILogic::Task_OnAnalyseFileFailed, "&CExportViewUILogic::Task_OnAnalyseFileFailed",
               handle, key);
        return;
    }
    if (!wasOpen)
        m_lookupOpen.insert(key);
    qCDebug(lcExport, "CExportViewPlayLogic::Task_AnalyseFilePos----1   %d  %p  %u  %u", key, handle, lookup.startTime,
            lookup.endTime);
    PLAY_MODULE::FRAME_POS first;
    PLAY_MODULE::FRAME_POS next;
    const _SYSTEMTIME start = LocalTimeFields<_SYSTEMTIME>(lookup.startTime);
    const std::int64_t lastMs = LastMsOf(lookup.endTime, lookup.endSecondIncluded, lookup.startTime);
    _SYSTEMTIME end = LocalTimeFields<_SYSTEMTIME>(std::uint32_t(lastMs / 1000));
    end.wMilliseconds = WORD(lastMs % 1000);
    if (!m_playManager->GetKeyFramePosByAbsTime(handle, &start, first) ||
        !m_playManager->GetNextKeyFramePosByAbsTime(handle, &end, next) || first.nFilePos < 0 ||
        next.nFilePos < first.nFilePos) {
        // Kept open: it is asked again when its index is built.
        qCDebug(lcExport, "CExportViewPlayLogic::Task_AnalyseFilePos----2   %d", key);
        Answer(&CExportViewUILogic::Task_OnAnalyseFileFailed, "&CExportViewUILogic::Task_OnAnalyseFileFailed",
               handle, key);
        return;
    }
    qCDebug(lcExport, "CExportViewPlayLogic::Task_AnalyseFilePos----5   %d", key);
    Answer(&CExportViewUILogic::Task_OnAnalyseFileSuccess, "&CExportViewUILogic::Task_OnAnalyseFileSuccess",
           handle, key, std::uint64_t(first.nFilePos), std::uint64_t(next.nFilePos));
    // Answered: a file opened for its lookups alone closes at once.
    if (m_lookupOpen.count(key))
        Sleep(key);
}

void CExportViewPlayLogic::Task_DeleteHandle(int key)
{
    void* handle = Find(key);
    if (!handle)
        return;
    Task_Stop(key);
    Task_Close(key);
    Answer(&CExportViewUILogic::Task_OnDeletePlayHandle, "&CExportViewUILogic::Task_OnDeletePlayHandle", handle,
           key);
    m_files.erase(key);
    for (std::deque<Lookup>* queue : {&m_lookups, &m_waitingOpen})
        std::erase_if(*queue, [key](const Lookup& lookup) { return lookup.key == key; });
}

void CExportViewPlayLogic::Task_DeleteHandles(std::list<int> keys)
{
    for (int key : keys)
        Task_DeleteHandle(key);
}

void CExportViewPlayLogic::Task_DeleteAllHandles(std::list<int> keys)
{
    Task_DeleteHandles(keys);
    // What the closed play objects' threads held goes back to the system.
    SF_SOFT_BASE::CSFSystem::GiveBackFreedMemory();
    Answer(&CExportViewUILogic::Task_OnDeleteFilesAll, "&CExportViewUILogic::Task_OnDeleteFilesAll");
}
