#include "PlayManager/RecordingOpener.h"

#include <vector>

#include "Base/TextCodec.h"
#include "Common/IndexFileStore.h"
#include "PlayManager/PlayManager.h"

void* OpenRecording(CPlayManager& manager, int playType, void* handle,
                    const boost::shared_ptr<IPlayObjectListener>& listener, const std::wstring& path)
{
    handle = manager.CreatePlayObject(playType, handle);
    if (!handle)
        return nullptr;
    manager.SetPlayObjectListener(handle, listener);
    std::vector<unsigned char> index;
    if (ReadIndexFile(path, &index))
        manager.SetRefValue(handle, index.data(), unsigned(index.size()));
    if (manager.Open(handle, SF_SOFT_BASE::WideToUtf8(path).c_str()))
        return handle;
    manager.DestroyPlayObject(handle);
    return nullptr;
}

void CloseRecording(CPlayManager& manager, void* handle)
{
    manager.Close(handle);
    manager.DestroyPlayObject(handle);
}
