#pragma once

#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <functional>

#include "Base/SFEvent.h"

class IPlayLibrary;
class IPlayObjectListener;

// Hands decoded frames from the library's frame thread to the GUI thread
// and holds the frame thread until the GUI has drawn the frame, so the
// decoder runs at most one frame ahead of the drawing. Waits are sliced and
// give up as soon as the owner stops.
class CFrameHandOver {
public:
    using StopCheck = std::function<bool()>;
    using Buffer = boost::shared_ptr<unsigned char[]>;

    struct Frame {
        void* handle = nullptr;
        const unsigned char* data = nullptr;
        int dataSize = 0;
        int width = 0;
        int height = 0;
        // The buffer that holds data, when receivers may keep it (else data
        // is copied for them).
        Buffer owner;
    };

    CFrameHandOver();
    ~CFrameHandOver();
    CFrameHandOver(const CFrameHandOver&) = delete;
    CFrameHandOver& operator=(const CFrameHandOver&) = delete;

    // Converts a planar Y, V, U frame to 32-bit RGB, draws the overlays of
    // overlayPort (none when negative) over it and posts it. Without
    // overlays, a listener that takes planar pictures gets a copy of the
    // planar frame instead, to convert where it shows it.
    void QtFrame(IPlayLibrary& library, const boost::shared_ptr<IPlayObjectListener>& listener,
                 const Frame& frame, const StopCheck& stop, int overlayPort = -1, int overlayValue = 0);
    // Posts a planar Y, U, V frame with the overlay port and value.
    void DDrawFrame(const boost::shared_ptr<IPlayObjectListener>& listener, const Frame& frame,
                    int overlayPort, int overlayValue, const StopCheck& stop);
    // Lets a waiting frame thread go (used when stopping).
    void Release();

    // Bytes of a planar 4:2:0 frame of this size, 0 for a size not drawable.
    static std::size_t PlanarSize(int width, int height);

private:
    // A buffer of the pair that no receiver holds, (re)made at this size.
    static Buffer FreeBuffer(Buffer (&pair)[2], std::size_t size, std::size_t (&sizes)[2]);
    Buffer PlanarForReceivers(const Frame& frame, std::size_t size);
    void PostPlanarQtFrame(const boost::shared_ptr<IPlayObjectListener>& listener, const Frame& frame,
                           std::size_t size, const StopCheck& stop);
    static void DrawOverlays(unsigned char* rgb, int width, int height, int port, int value);
    void WaitUntilDrawn(const StopCheck& stop);

    boost::shared_ptr<SF_SOFT_BASE::CSFEvent> m_event;
    boost::shared_ptr<int> m_receiverToken;
    Buffer m_rgb[2];
    std::size_t m_rgbSizes[2] = {0, 0};
    Buffer m_planar[2];
    std::size_t m_planarSizes[2] = {0, 0};
};
