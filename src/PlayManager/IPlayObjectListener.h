#pragma once

#include <string>

#include <boost/shared_ptr.hpp>

class SynSmartPtr;

// Callbacks of a play object. They always run on the GUI thread (loop 1) as
// posted tasks. Handle 0 in OnPlayPositionChanged is the group position.
class IPlayObjectListener {
public:
    virtual ~IPlayObjectListener() = default;

    // A 32-bit RGB picture (bytes R, G, B, 255; rows of width pixels).
    // Release the token (and the picture) once it has been drawn.
    virtual int OnQTRenderSubWin(void* handle, boost::shared_ptr<unsigned char[]> frame, int width,
                                 int height, boost::shared_ptr<SynSmartPtr> token);
    // Whether this listener takes the Qt path's pictures planar (through
    // OnQTPlanarSubWin) and converts them itself where they are shown.
    virtual bool TakesPlanarQtFrames() const { return false; }
    // A planar 4:2:0 picture laid out Y, V, U. Release the token (and the
    // picture) once it has been drawn.
    virtual int OnQTPlanarSubWin(void* handle, boost::shared_ptr<unsigned char[]> frame, int width,
                                 int height, boost::shared_ptr<SynSmartPtr> token);
    virtual int OnRenderSubWin(void* handle, boost::shared_ptr<unsigned char[]> buffer, int value1,
                               int value2, int value3);
    // A planar Y, U, V 4:2:0 picture valid while the token is held.
    virtual int OnDDRenderSubWinEx(void* handle, boost::shared_ptr<int> receiverToken,
                                   unsigned char* frame, int width, int height,
                                   boost::shared_ptr<SynSmartPtr> token, int overlayPort,
                                   int overlayValue);
    virtual void OnPlayNotify(void*, unsigned int, unsigned int) {}
    virtual void OnFileRefFinished(void*, int) {}
    virtual void OnFileEnd(void*) {}
    // The same, told which way the file played (forward: to its end,
    // else to its start).
    virtual void OnFileEndReached(void* handle, int /*forward*/) { OnFileEnd(handle); }
    virtual void OnPlayTimeInfoChanged(void*, unsigned int, unsigned int) {}
    virtual void OnPlayPositionChanged(void*, unsigned int) {}
    virtual void OnGetDDOffScreenSurfaceRequest(void*, int, int) {}
    virtual void OnSeekSuccess(void*) {}
    // A data recording failed and ended; its part kept at keptPath (empty:
    // nothing was kept), keptSeconds long.
    virtual void OnRecordFailed(void*, std::wstring /*keptPath*/, unsigned int /*keptSeconds*/) {}
};
