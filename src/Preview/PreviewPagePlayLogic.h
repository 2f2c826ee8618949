#pragma once

#include <list>
#include <string>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

class CPlayManager;
class IPreviewPlayReceiver;

using PreviewHandleList = std::list<void*>;
using PreviewHandleListPtr = boost::shared_ptr<PreviewHandleList>;

// The preview's play-thread half: opens the recording once to build or load
// its index, then one play object per slice with a copy of that index; seeks,
// pauses, steps and closes them. Every task runs on the play loop and answers
// the receiver on the GUI loop.
class CPreviewPagePlayLogic : public boost::enable_shared_from_this<CPreviewPagePlayLogic> {
public:
    CPreviewPagePlayLogic();
    explicit CPreviewPagePlayLogic(boost::shared_ptr<CPlayManager> playManager);
    ~CPreviewPagePlayLogic();

    void SetUILogic(const boost::shared_ptr<IPreviewPlayReceiver>& receiver);

    void Task_LoadFile(std::wstring path);
    void Task_Preview(void* sourceHandle, std::wstring path, int sliceIndex, int sliceCount);
    void Task_FileEnd(void* handle, int sliceCount, int sliceIndex);
    void Task_Seek(void* handle, unsigned int time, float fraction);
    void Task_Pause(PreviewHandleListPtr handles, int resume);
    void Task_PauseOne(void* handle, int resume);
    void Task_StepBackward(PreviewHandleListPtr handles);
    void Task_StepForward(PreviewHandleListPtr handles);
    void Task_SetPlaySpeed(PreviewHandleListPtr handles, float speed);
    void Task_CloseFiles(void* handle);
    void Task_SaveRef(void* handle);
    void Task_Destroy(PreviewHandleListPtr handles);

    const PreviewHandleList& GetHandles() const { return m_handles; }

private:
    enum class IndexFileLoad { Taken, NotTaken, OutOfMemory };

    void* CreateListenedObject();
    // Reads the index file of the recording and hands its data to handle.
    IndexFileLoad LoadIndexFile(void* handle, const std::wstring& path);
    // The index file to write after indexing: the library's index replaces
    // one that is missing, stale or was refused.
    bool IndexFileWanted() const;
    // Copies the index of source into target: 1 done, 0 no index, -1 out of memory.
    int CopyIndex(void* source, void* target);
    unsigned int SliceStart(void* handle, double share);
    void PostOutOfMemory();

    boost::weak_ptr<IPreviewPlayReceiver> m_uiLogic;
    boost::shared_ptr<CPlayManager> m_playManager;
    std::wstring m_filePath;
    float m_playSpeed = 0.0f;
    void* m_loadHandle = nullptr;
    bool m_indexFileTaken = false;  // the library took the load's index file
    int m_backwardStep = 0;
    PreviewHandleList m_handles;
};
