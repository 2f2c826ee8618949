#pragma once

#include <string>

#include <boost/shared_ptr.hpp>

#include "PlayManager/IPlayObjectListener.h"

class CPreviewSimplePlayerEventImp;

// What the preview's play logic answers to on the GUI loop: its replies, and
// the play objects' callbacks as their listener.
class IPreviewPlayReceiver : public IPlayObjectListener {
public:
    virtual void Task_OnLoadFileSuccess(void* handle, int ok) = 0;
    virtual void Task_NotEnoughRomAssigned() = 0;
    virtual void Task_CloseFilesRet(void* handle) = 0;
    virtual void Task_SaveIndexRet(void* handle, int saved) = 0;
    virtual void Task_PreviewRet(void* sourceHandle, void* sliceHandle, int ok, int sliceIndex,
                                 std::wstring errorText, unsigned int fileStart,
                                 unsigned int fileEnd) = 0;
    virtual void Task_PauseOneRet(void* handle, int result) = 0;
    // The player view that owns the receiver (empty when gone).
    virtual boost::shared_ptr<CPreviewSimplePlayerEventImp> GetOwnerView() = 0;
};
