#pragma once

#include "Platform/PlayModule/PlayModuleTypes.h"

#include <cstdint>
#include <memory>
#include <string>

namespace PLAY_MODULE {

class CPlayModule;

// Callbacks of a play module. They come on the module's own threads, never
// while the module holds a lock; after Close or destruction none comes.
class IPlayModuleListener {
public:
    virtual ~IPlayModuleListener() = default;
    virtual void OnFileRefFinished(CPlayModule* module, int result) = 0;
    // The file's end reached, or its start playing backward: the module's
    // GetEndDirection says which.
    virtual void OnFileEnd(CPlayModule* module) = 0;
    virtual void OnStreamData(CPlayModule* module, unsigned char* data, int length,
                              PM_FRAME_INFO* info, int reserved) = 0;
    virtual void OnReserved1(CPlayModule*, intptr_t, intptr_t, intptr_t, intptr_t) {}
    virtual void OnReserved2(CPlayModule*, intptr_t, intptr_t, intptr_t) {}
    // renderKind: 1 planar Y,U,V; 2 planar Y,V,U. value: the frame's byte size.
    virtual void OnFrameVisible(CPlayModule* module, int renderKind, unsigned char* data,
                                int value, PM_FRAME_INFO* info) = 0;
    // The same with the buffer that holds the frame: a receiver may keep it,
    // and the module makes no picture in a buffer still held.
    virtual void OnSharedFrameVisible(CPlayModule* module, int renderKind, std::shared_ptr<const unsigned char> frame,
                                      int value, PM_FRAME_INFO* info)
    {
        OnFrameVisible(module, renderKind, const_cast<unsigned char*>(frame.get()), value, info);
    }
    virtual void OnReserved3(CPlayModule*, intptr_t, intptr_t, intptr_t) {}
    virtual void OnFileTimeDone(CPlayModule* module, unsigned start, unsigned end) = 0;
    virtual int OnOverlayData(CPlayModule* module, unsigned char* data, int kind, int length,
                              int value1, int value2) = 0;
    virtual void OnReserved4(CPlayModule*, intptr_t, intptr_t) {}
    // The data recording failed and ended: its part kept at keptPath, keptMs
    // long (empty path: nothing was kept).
    virtual void OnRecordFailed(CPlayModule*, const std::string& /*keptPath*/, std::int64_t /*keptMs*/) {}
};

}  // namespace PLAY_MODULE
