#pragma once

#include <cstdint>

#include "Platform/Win32/Win32Types.h"

class QImage;
class QPainter;

using HRESULT = std::int32_t;
constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DDERR_SURFACELOST = static_cast<HRESULT>(0x887601C2u);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT DDERR_UNSUPPORTEDFORMAT = static_cast<HRESULT>(0x88760091u);

// Pixel formats of our software surfaces; also the bits of the mask of
// formats the display accepts.
enum DDrawFormat : std::uint32_t {
    DDFMT_UYVY = 1,
    DDFMT_YUY2 = 2,
    DDFMT_YV12 = 4,
    DDFMT_RGB32 = 8,
};

// Lets a window draw on the back buffer after the frame was scaled into it
// and before it is shown. The "device context" is a painter on the buffer.
class ISFVideoRenderCallback {
public:
    virtual void OnRenderDC(int, QPainter*) {}

protected:
    ~ISFVideoRenderCallback() = default;
};

// The window a renderer presents into.
class IDDrawWindow {
public:
    // Window rectangle in screen coordinates; all four values negative
    // while the window cannot be seen (hidden or minimised).
    virtual tagRECT GetScreenRect() const = 0;
    // Client size; 0 width when unknown.
    virtual tagSIZE GetClientSize() const = 0;
    // The back buffer is shown: the window keeps a copy and repaints.
    virtual void PresentBackBuffer(const QImage& image) = 0;

protected:
    ~IDDrawWindow() = default;
};

// Overlay drawing per port on a back buffer, called for each presented
// frame with (port, painter, window, extra); the overlay drawer's
// IvsDrawer_Draw has this form.
using DDrawOverlayFunc = int (*)(int, QPainter*, void*, int);
