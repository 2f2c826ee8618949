#include "Preview/PreviewPagePlayLogic.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/SFSystem.h"
#include "Base/TextCodec.h"
#include "Common/IndexFileStore.h"
#include "PageServices/PageHost.h"
#include "PlayManager/PlayManager.h"
#include "Preview/PreviewPageEventImp.h"
#include "Preview/PreviewPlayReceiver.h"
#include "Preview/PreviewSimplePlayerEventImp.h"

using LumivexBase::ML_MAIN;
using LumivexBase::ML_PLAY;
using SF_SOFT_BASE::WideToUtf8;

namespace {

const char kWrongThread[] = "fuction used In wrong Thread!";
constexpr long kIndexHeadSize = 24;

using Buffer = std::unique_ptr<unsigned char[]>;

Buffer AllocateBuffer(std::size_t length)
{
    return Buffer(new (std::nothrow) unsigned char[length]);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

#define PREVIEW_PLAY_THREAD_CHECK(name) LumivexBase::CheckLoopThread(ML_PLAY, name, kWrongThread)

// Posts an answer to the receiver on the GUI loop when it still exists.
#define POST_ANSWER(method, ...)                                                        \
    do {                                                                                \
        if (boost::shared_ptr<IPreviewPlayReceiver> receiver = m_uiLogic.lock())       \
            SF_POST_TASK(ML_MAIN, &IPreviewPlayReceiver::method, receiver, ##__VA_ARGS__); \
    } while (0)

CPreviewPagePlayLogic::CPreviewPagePlayLogic() : m_playManager(CPlayManager::Create()) {}

CPreviewPagePlayLogic::CPreviewPagePlayLogic(boost::shared_ptr<CPlayManager> playManager)
    : m_playManager(std::move(playManager))
{
}

CPreviewPagePlayLogic::~CPreviewPagePlayLogic() = default;

void CPreviewPagePlayLogic::SetUILogic(const boost::shared_ptr<IPreviewPlayReceiver>& receiver)
{
    m_uiLogic = receiver;
}

void* CPreviewPagePlayLogic::CreateListenedObject()
{
    void* handle = nullptr;
    try {
        handle = m_playManager->CreatePlayObject(1);
    } catch (const std::exception&) {
        return nullptr;
    }
    if (handle)
        m_playManager->SetPlayObjectListener(handle, m_uiLogic.lock());
    return handle;
}

void CPreviewPagePlayLogic::PostOutOfMemory() { POST_ANSWER(Task_NotEnoughRomAssigned); }

void CPreviewPagePlayLogic::Task_LoadFile(std::wstring path)
{
    PREVIEW_PLAY_THREAD_CHECK("CPreviewPagePlayLogic::Task_LoadFile");
    m_loadHandle = CreateListenedObject();
    int ok = 1;
    if (m_loadHandle) {
        m_handles.push_back(m_loadHandle);
        m_filePath = path;
        const IndexFileLoad index = LoadIndexFile(m_loadHandle, path);
        m_indexFileTaken = index == IndexFileLoad::Taken;
        if (index == IndexFileLoad::OutOfMemory) {
            m_playManager->DestroyPlayObject(m_loadHandle);
            m_handles.remove(m_loadHandle);
            PostOutOfMemory();
            return;
        }
        const int opened = m_playManager->Open(m_loadHandle, WideToUtf8(path).c_str());
        const int played = m_playManager->PlayWithMode(m_loadHandle, nullptr, 0);
        ok = (opened & 1) && played;
    }
    POST_ANSWER(Task_OnLoadFileSuccess, m_loadHandle, ok);
}

CPreviewPagePlayLogic::IndexFileLoad CPreviewPagePlayLogic::LoadIndexFile(void* handle,
                                                                          const std::wstring& path)
{
    if (!IsIndexFileValid(path))
        return IndexFileLoad::NotTaken;
    FilePtr file(std::fopen(WideToUtf8(GetIndexFilePath(path)).c_str(), "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return IndexFileLoad::NotTaken;
    const long size = std::ftell(file.get());
    if (size <= kIndexHeadSize)
        return IndexFileLoad::NotTaken;
    const std::size_t length = std::size_t(size - kIndexHeadSize);
    Buffer data = AllocateBuffer(length);
    if (!data)
        return IndexFileLoad::OutOfMemory;
    if (std::fseek(file.get(), kIndexHeadSize, SEEK_SET) != 0 ||
        std::fread(data.get(), 1, length, file.get()) != length)
        return IndexFileLoad::NotTaken;
    const bool taken = m_playManager->SetRefValue(handle, data.get(), unsigned(length)) != 0;
    return taken ? IndexFileLoad::Taken : IndexFileLoad::NotTaken;
}

bool CPreviewPagePlayLogic::IndexFileWanted() const
{
    return !m_indexFileTaken || !IsIndexFileValid(m_filePath);
}

void CPreviewPagePlayLogic::Task_Preview(void* sourceHandle, std::wstring path, int sliceIndex,
                                         int)
{
    PREVIEW_PLAY_THREAD_CHECK("CPreviewPagePlayLogic::Task_Preview");
    std::wstring error;
    void* handle = nullptr;
    unsigned int start = 0, end = 0;
    int ok = 0;
    if (sourceHandle) {
        start = m_playManager->GetFileStartTime(sourceHandle);
        end = m_playManager->GetFileEndTime(sourceHandle);
        if (start == 0 || end == 0) {
            error = L"Get video time failed!";
        } else if (!(handle = CreateListenedObject())) {
            error = L"Create Handle failed!";
        } else {
            const int copied = CopyIndex(sourceHandle, handle);
            if (copied < 0) {
                m_playManager->DestroyPlayObject(handle);
                PostOutOfMemory();
                return;
            }
            const std::string nativePath = WideToUtf8(path);
            if (copied == 0) {
                m_playManager->DestroyPlayObject(handle);
                handle = nullptr;
                error = L"Set Ref failed";
            } else if (!m_playManager->Open(handle, nativePath.c_str()) ||
                       !m_playManager->Play(handle, nullptr)) {
                m_playManager->Close(handle);
                m_playManager->DestroyPlayObject(handle);
                error = L"open or play record failed!";
            } else {
                m_playManager->SetSpeed(handle, 1.0f);
                m_handles.push_back(handle);
                ok = 1;
            }
        }
    }
    POST_ANSWER(Task_PreviewRet, sourceHandle, handle, ok, sliceIndex, error, start, end);
}

int CPreviewPagePlayLogic::CopyIndex(void* source, void* target)
{
    unsigned int length = 0;
    m_playManager->GetRefValue(source, nullptr, &length);
    if (length == 0)
        return 0;
    Buffer data = AllocateBuffer(length);
    if (!data)
        return -1;
    m_playManager->GetRefValue(source, data.get(), &length);
    m_playManager->SetRefValue(target, data.get(), length);
    return 1;
}

unsigned int CPreviewPagePlayLogic::SliceStart(void* handle, double share)
{
    const unsigned int start = m_playManager->GetFileStartTime(handle);
    const unsigned int span = m_playManager->GetFileEndTime(handle) - start;
    return unsigned(start + double(span) * share);
}

void CPreviewPagePlayLogic::Task_FileEnd(void* handle, int sliceCount, int sliceIndex)
{
    PREVIEW_PLAY_THREAD_CHECK("CPreviewPagePlayLogic::Task_FileEnd");
    if (!handle || sliceCount < 1)
        return;
    const unsigned int start = m_playManager->GetFileStartTime(handle);
    const unsigned int span = m_playManager->GetFileEndTime(handle) - start;
    const double offset = double(span) * sliceIndex / sliceCount;
    m_playManager->SeekByTime(handle, start + unsigned(offset));
}

void CPreviewPagePlayLogic::Task_Seek(void* handle, unsigned int time, float fraction)
{
    PREVIEW_PLAY_THREAD_CHECK("CPreviewPagePlayLogic::Task_Seek");
    if (time != 0) {
        if (time >= SliceStart(handle, fraction))
            m_playManager->SeekByTime(handle, time);
        return;
    }
    m_playManager->SeekByTimeExact(handle, SliceStart(handle, fraction / 100.0), 1);
}

void CPreviewPagePlayLogic::Task_Pause(PreviewHandleListPtr handles, int resume)
{
    PREVIEW_PLAY_THREAD_CHECK("CPreviewPagePlayLogic::Task_Pause");
    for (void* handle : *handles) {
        if (resume != 1) {
            m_playManager->Pause(handle);
            continue;
        }
        if (m_backwardStep)
            m_playManager->PlayForward(handle);
        m_playManager->Resume(handle);
    }
    if (resume == 1)
        m_backwardStep = 0;
}

void CPreviewPagePlayLogic::Task_PauseOne(void* handle, int resume)
{
    PREVIEW_PLAY_THREAD_CHECK("CPreviewPagePlayLogic::Task_PauseOne");
    if (handle == m_loadHandle)
        return;
    const int result =
        resume == 1 ? m_playManager->Resume(handle) : m_playManager->Pause(handle);
    POST_ANSWER(Task_PauseOneRet, handle, result & 1);
}

void CPreviewPagePlayLogic::Task_StepBackward(PreviewHandleListPtr handles)
{
    PREVIEW_PLAY_THREAD_CHECK("CPreviewPagePlayLogic::Task_StepBackward");
    m_backwardStep = 1;
    for (void* handle : *handles)
        m_playManager->StepBackward(handle);
}

void CPreviewPagePlayLogic::Task_StepForward(PreviewHandleListPtr handles)
{
    PREVIEW_PLAY_THREAD_CHECK("CPreviewPagePlayLogic::Task_StepForward");
    m_backwardStep = 0;
    for (void* handle : *handles)
        m_playManager->StepForward(handle);
}

void CPreviewPagePlayLogic::Task_SetPlaySpeed(PreviewHandleListPtr handles, float speed)
{
    PREVIEW_PLAY_THREAD_CHECK("CPreviewPagePlayLogic::Task_SetPlaySpeed");
    if (speed == m_playSpeed)
        return;
    m_playSpeed = speed;
    for (void* handle : *handles)
        m_playManager->SetSpeed(handle, speed);
}

void CPreviewPagePlayLogic::Task_CloseFiles(void* handle)
{
    PREVIEW_PLAY_THREAD_CHECK("CPreviewPagePlayLogic::Task_CloseFiles");
    m_playSpeed = 1.0f;
    m_backwardStep = 0;
    int result = 1;
    // A load the GUI never learned of (stopped before its answer came) is
    // closed with the next close that names no file.
    if (!handle && m_loadHandle &&
        std::find(m_handles.begin(), m_handles.end(), m_loadHandle) != m_handles.end())
        handle = m_loadHandle;
    if (handle) {
        const int stopped = m_playManager->Stop(handle);
        result = (stopped & 1) && m_playManager->Close(handle);
        m_playManager->DestroyPlayObject(handle);
        for (auto it = m_handles.begin(); it != m_handles.end(); ++it) {
            if (*it == handle) {
                m_handles.erase(it);
                break;
            }
        }
        if (m_handles.empty())
            SF_SOFT_BASE::CSFSystem::GiveBackFreedMemory();  // what the slices' decoders held goes back to the system
    }
    POST_ANSWER(Task_CloseFilesRet, reinterpret_cast<void*>(std::intptr_t(result)));
}

void CPreviewPagePlayLogic::Task_SaveRef(void* handle)
{
    PREVIEW_PLAY_THREAD_CHECK("CPreviewPagePlayLogic::Task_SaveRef");
    int saved = 0;
    unsigned int length = 0;
    // The index is built: the load object has nothing more to show.
    if (handle && handle == m_loadHandle)
        m_playManager->Pause(handle);
    if (handle)
        m_playManager->GetRefValue(handle, nullptr, &length);
    if (length > 0 && IndexFileWanted()) {
        Buffer data = AllocateBuffer(length);
        if (!data) {
            PostOutOfMemory();
            return;
        }
        m_playManager->GetRefValue(handle, data.get(), &length);
        SaveIndexFile(data.get(), length, m_filePath);
    }
    saved = length > 0 ? 1 : 0;
    POST_ANSWER(Task_SaveIndexRet, handle, saved);
}

void CPreviewPagePlayLogic::Task_Destroy(PreviewHandleListPtr)
{
    for (void* handle : m_handles) {
        if (!handle)
            continue;
        m_playManager->Stop(handle);
        m_playManager->Close(handle);
        m_playManager->DestroyPlayObject(handle);
    }
    m_handles.clear();
    SF_SOFT_BASE::CSFSystem::GiveBackFreedMemory();
    boost::shared_ptr<IPreviewPlayReceiver> receiver = m_uiLogic.lock();
    boost::shared_ptr<CPreviewSimplePlayerEventImp> view =
        receiver ? receiver->GetOwnerView() : nullptr;
    boost::shared_ptr<CPreviewPageEventImp> page = view ? view->GetPage() : nullptr;
    boost::shared_ptr<IPageHost> host = page ? page->GetMainFrame() : nullptr;
    if (host)
        SF_POST_TASK(ML_MAIN, &IPageHost::Task_OnCloseSuccess, host, 2);
}
