#pragma once

#include <memory>

#include "Base/SFMutex.h"
#include "Platform/DDraw/DDrawDevice.h"
#include "Platform/DDraw/PlaneCopy.h"
#include "Platform/DDraw/SurfaceScaler.h"

// Presents planar 4:2:0 frames (Y, U, V) in one window: uploads each frame
// into a YUV surface of a format the display accepts (UYVY, then YUY2, then
// YV12), scales its source rectangle into a window-sized 32-bit back
// buffer, lets the overlay drawer and the render callback draw on it, and
// hands it to the window. Lost surfaces are restored; the frame in hand is
// then dropped and the next one is drawn normally.
class CDDrawRender {
public:
    CDDrawRender();
    virtual ~CDDrawRender();
    CDDrawRender(const CDDrawRender&) = delete;
    CDDrawRender& operator=(const CDDrawRender&) = delete;

    // 0 success, -1 failure.
    virtual int RenderFrame(BYTE* y, BYTE* second, BYTE* third, int w, int h);
    // `data` holds Y (w x h), then U and V ((w/2) x (h/2) each).
    // 1 presented; 0 failed or dropped.
    virtual int Render(void* ignored, BYTE* data, int w, int h, tagRECT* source, int port, IDDrawWindow* wnd,
                       int extra);
    // 0 success, -1 failure.
    virtual int Redraw();
    virtual int Init(IDDrawWindow* wnd);
    virtual int Reserved(int) { return 0; }
    virtual int SetRenderCallback(int, ISFVideoRenderCallback* callback);
    virtual int EnableVerticalSync(int on);
    virtual int Reset();
    virtual int Release();

    // A new surface of w x h in the first accepted format, and its copy;
    // the caller owns it and frees it with DDrawDestroySurface. 0 when
    // there is no display object or no format is accepted.
    int CreateOffScreenSurface(void*& surface, SFPlaneCopyFunc& copy, int w, int h);

    // Releases the frame surface (the next frame makes a new one).
    void ReleaseFrameSurface();
    bool HasFrameSurface() const { return m_frameSurface != nullptr; }
    DDrawFormat FrameFormat() const;
    int IsVerticalSyncOn() const { return m_verticalSync; }
    int VerticalBlankWaits() const { return m_verticalBlankWaits; }
    static void SetOverlayDrawer(DDrawOverlayFunc drawer);
    static DDrawOverlayFunc GetOverlayDrawer();

    // Test hook: loses a surface on purpose (0 frame, 1 back buffer, 2 primary).
    void LoseSurface(int which);

private:
    struct Primary {
        tagSIZE screen{0, 0};
        bool lost = false;
    };

    bool CreatePrimary();
    bool CreateFrameSurface(int w, int h);
    bool CreateBackBuffer(int w, int h);
    void ReleaseBackBuffer();
    bool HasBackBuffer();
    bool CheckWindow();
    bool PrimaryLost() const;
    HRESULT LockFrame(BYTE*& bits, int& pitch, bool restoreBackBuffer);
    void RestoreAfterLoss(bool restoreBackBuffer);
    DDrawSurfacePtr CurrentBackBuffer();
    // Lets the overlay drawer (when asked) and the render callback paint.
    void DrawOnBackBuffer(bool withOverlay, int port, int extra);
    HRESULT PresentBackBuffer();
    int Present(BYTE* y, BYTE* second, BYTE* third);
    bool RecoverPrimary();

    std::unique_ptr<CDDrawDevice> m_device;
    std::unique_ptr<Primary> m_primary;
    DDrawSurfacePtr m_frameSurface;
    DDrawSurfacePtr m_backBuffer;
    IDDrawWindow* m_wnd = nullptr;
    int m_frameHeight = 0;
    int m_frameWidth = 0;
    ISFVideoRenderCallback* m_callback = nullptr;
    SF_SOFT_BASE::CSFMutex m_mutex;
    tagRECT m_windowRect{0, 0, 0, 0};
    SFPlaneCopyFunc m_copy = nullptr;
    int m_verticalSync = 0;
    int m_verticalBlankWaits = 0;
    // The overlay port and value of the frame shown last (-1: none), drawn
    // again by a redraw.
    int m_overlayPort = -1;
    int m_overlayExtra = 0;
    CSurfaceScaler m_scaler;
};

// Frees a surface made by CreateOffScreenSurface.
void DDrawDestroySurface(void* surface);
