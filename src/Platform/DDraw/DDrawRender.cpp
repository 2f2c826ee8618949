#include "Platform/DDraw/DDrawRender.h"

#include <atomic>

#include <QPainter>

#include "Base/PlanarLayout.h"
#include "Base/SFAutoMutexLock.h"

using SF_SOFT_BASE::CSFAutoMutexLock;

namespace {

std::atomic<DDrawOverlayFunc> g_overlayDrawer{nullptr};

struct FormatChoice {
    DDrawFormat format;
    SFPlaneCopyFunc copy;
};

constexpr FormatChoice kFormatOrder[] = {
    {DDFMT_UYVY, &CopyYV12ToUYVY},
    {DDFMT_YUY2, &CopyYV12ToYUY2},
    {DDFMT_YV12, &CopyYV12ToYV12},
};

bool AllNegative(const tagRECT& r) { return r.left < 0 && r.top < 0 && r.right < 0 && r.bottom < 0; }

bool SameRect(const tagRECT& a, const tagRECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

CDDrawRender::CDDrawRender() = default;

CDDrawRender::~CDDrawRender() { Release(); }

void CDDrawRender::SetOverlayDrawer(DDrawOverlayFunc drawer) { g_overlayDrawer = drawer; }

DDrawOverlayFunc CDDrawRender::GetOverlayDrawer() { return g_overlayDrawer; }

int CDDrawRender::Init(IDDrawWindow* wnd)
{
    if (!wnd)
        return -1;
    m_device = std::make_unique<CDDrawDevice>();
    if (!CreatePrimary())
        return -1;
    m_wnd = wnd;
    return 0;
}

bool CDDrawRender::CreatePrimary()
{
    if (!m_device)
        return false;
    m_primary = std::make_unique<Primary>();
    m_primary->screen = CDDrawDevice::ScreenSize();
    return true;
}

bool CDDrawRender::PrimaryLost() const
{
    const tagSIZE screen = CDDrawDevice::ScreenSize();
    return m_primary->lost || screen.cx != m_primary->screen.cx || screen.cy != m_primary->screen.cy;
}

bool CDDrawRender::CreateFrameSurface(int w, int h)
{
    m_frameSurface.reset();
    m_copy = nullptr;
    if (!m_device)
        return false;
    for (const auto& choice : kFormatOrder) {
        if (auto surface = m_device->CreateSurface(choice.format, w, h)) {
            m_frameSurface = std::move(surface);
            m_copy = choice.copy;
            return true;
        }
    }
    return false;
}

bool CDDrawRender::CreateBackBuffer(int w, int h)
{
    tagSIZE size = m_wnd ? m_wnd->GetClientSize() : tagSIZE{0, 0};
    if (size.cx <= 0 || size.cy <= 0)
        size = {w, h};
    CSFAutoMutexLock lock(&m_mutex);
    m_backBuffer = m_device ? m_device->CreateSurface(DDFMT_RGB32, size.cx, size.cy) : nullptr;
    return m_backBuffer != nullptr;
}

void CDDrawRender::ReleaseBackBuffer()
{
    CSFAutoMutexLock lock(&m_mutex);
    m_backBuffer.reset();
}

bool CDDrawRender::HasBackBuffer()
{
    CSFAutoMutexLock lock(&m_mutex);
    return m_backBuffer != nullptr;
}

void CDDrawRender::ReleaseFrameSurface() { m_frameSurface.reset(); }

DDrawFormat CDDrawRender::FrameFormat() const
{
    return m_frameSurface ? m_frameSurface->Format() : static_cast<DDrawFormat>(0);
}

bool CDDrawRender::CheckWindow()
{
    const tagRECT rect = m_wnd ? m_wnd->GetScreenRect() : tagRECT{-1, -1, -1, -1};
    // A window that cannot be seen gets no frames at all.
    if (AllNegative(rect)) {
        m_windowRect = rect;
        return false;
    }
    if (SameRect(rect, m_windowRect))
        return true;
    m_windowRect = rect;
    if (!m_primary)
        return false;
    ReleaseBackBuffer();
    CreateBackBuffer(m_frameWidth, m_frameHeight);
    return true;
}

void CDDrawRender::RestoreAfterLoss(bool restoreBackBuffer)
{
    if (m_primary)
        RecoverPrimary();
    if (m_frameSurface)
        m_frameSurface->Restore();
    if (restoreBackBuffer) {
        CSFAutoMutexLock lock(&m_mutex);
        if (m_backBuffer)
            m_backBuffer->Restore();
    }
}

HRESULT CDDrawRender::LockFrame(BYTE*& bits, int& pitch, bool restoreBackBuffer)
{
    HRESULT hr = m_frameSurface->Lock(bits, pitch);
    if (hr == DDERR_SURFACELOST) {
        RestoreAfterLoss(restoreBackBuffer);
        hr = m_frameSurface->Lock(bits, pitch);
    }
    return hr;
}

DDrawSurfacePtr CDDrawRender::CurrentBackBuffer()
{
    CSFAutoMutexLock lock(&m_mutex);
    return m_backBuffer;
}

void CDDrawRender::DrawOnBackBuffer(bool withOverlay, int port, int extra)
{
    DDrawSurfacePtr backBuffer;
    ISFVideoRenderCallback* callback = nullptr;
    {
        CSFAutoMutexLock lock(&m_mutex);
        backBuffer = m_backBuffer;
        callback = m_callback;
    }
    if (!backBuffer || !callback || backBuffer->Image().isNull())
        return;
    QPainter painter(&backBuffer->Image());
    DDrawOverlayFunc drawer = withOverlay ? g_overlayDrawer.load() : nullptr;
    if (drawer)
        drawer(port, &painter, static_cast<void*>(m_wnd), extra);
    callback->OnRenderDC(0, &painter);
}

HRESULT CDDrawRender::PresentBackBuffer()
{
    const DDrawSurfacePtr backBuffer = CurrentBackBuffer();
    if (!backBuffer || !m_primary)
        return DD_OK;
    if (PrimaryLost() || backBuffer->IsLost())
        return DDERR_SURFACELOST;
    if (m_verticalSync)
        ++m_verticalBlankWaits;
    if (m_wnd)
        m_wnd->PresentBackBuffer(backBuffer->Image());
    return DD_OK;
}

bool CDDrawRender::RecoverPrimary()
{
    const tagSIZE screen = CDDrawDevice::ScreenSize();
    if (screen.cx == m_primary->screen.cx && screen.cy == m_primary->screen.cy) {
        m_primary->lost = false;
        return true;
    }
    return CreatePrimary();
}

int CDDrawRender::Render(void*, BYTE* data, int w, int h, tagRECT* source, int port, IDDrawWindow*, int extra)
{
    if (!m_device || !data || w < 2 || h < 2)
        return 0;
    if (!m_primary && !CreatePrimary())
        return 0;
    if (h != m_frameHeight || w != m_frameWidth) {
        if (!CreateFrameSurface(w, h))
            return 0;
        ReleaseBackBuffer();
        if (!CreateBackBuffer(w, h))
            return 0;
        m_frameWidth = w;
        m_frameHeight = h;
    } else if (!m_frameSurface && !CreateFrameSurface(w, h)) {
        return 0;
    }
    if (!HasBackBuffer() && !CreateBackBuffer(w, h))
        return 0;
    if (!CheckWindow())
        return 0;
    BYTE* bits = nullptr;
    int pitch = 0;
    if (LockFrame(bits, pitch, true) != DD_OK || !bits) {
        m_frameSurface->Unlock();
        // Memory could not be had again: start over with new surfaces.
        CreateFrameSurface(w, h);
        ReleaseBackBuffer();
        CreateBackBuffer(w, h);
        return 0;
    }
    // The planes of one buffer: Y, then U and V.
    const SF_SOFT_BASE::PlanarLayout layout{w, h};
    m_copy(data, data + layout.FirstChromaOffset(), data + layout.SecondChromaOffset(), bits,
           static_cast<DWORD>(pitch), w, h);
    m_frameSurface->Unlock();
    m_overlayPort = port;
    m_overlayExtra = extra;
    {
        const DDrawSurfacePtr backBuffer = CurrentBackBuffer();
        if (backBuffer && m_scaler.Blt(*m_frameSurface, source, *backBuffer) == DD_OK)
            DrawOnBackBuffer(true, port, extra);
    }
    const HRESULT hr = PresentBackBuffer();
    if (hr == DDERR_SURFACELOST) {
        if (!RecoverPrimary())
            return 0;
        RestoreAfterLoss(true);
        return 0;
    }
    return hr >= 0 ? 1 : 0;
}

int CDDrawRender::Present(BYTE* y, BYTE* second, BYTE* third)
{
    BYTE* bits = nullptr;
    int pitch = 0;
    if (LockFrame(bits, pitch, true) != DD_OK)
        return 0;
    if (!bits) {
        m_frameSurface->Unlock();
        return 0;
    }
    m_copy(y, second, third, bits, static_cast<DWORD>(pitch), m_frameWidth, m_frameHeight);
    m_frameSurface->Unlock();
    const DDrawSurfacePtr backBuffer = CurrentBackBuffer();
    if (backBuffer && m_scaler.Blt(*m_frameSurface, nullptr, *backBuffer) == DD_OK)
        DrawOnBackBuffer(false, 0, 0);
    const HRESULT hr = PresentBackBuffer();
    if (hr == DDERR_SURFACELOST)
        RestoreAfterLoss(true);
    return hr == DD_OK ? 1 : 0;
}

int CDDrawRender::RenderFrame(BYTE* y, BYTE* second, BYTE* third, int w, int h)
{
    if (!m_device || !y || w < 2 || h < 2)
        return -1;
    if (!m_primary && !CreatePrimary())
        return -1;
    if (h != m_frameHeight || w != m_frameWidth) {
        m_frameSurface.reset();
        ReleaseBackBuffer();
        if (!CreateFrameSurface(w, h))
            return -1;
        m_frameWidth = w;
        m_frameHeight = h;
    } else if (!m_frameSurface && !CreateFrameSurface(w, h)) {
        return -1;
    }
    if (!HasBackBuffer() && !CreateBackBuffer(w, h))
        return -1;
    if (!CheckWindow())
        return 0;
    m_overlayPort = -1;
    return Present(y, second, third) > 0 ? 0 : -1;
}

int CDDrawRender::Redraw()
{
    if (!m_primary)
        return -1;
    if (!CheckWindow())
        return 0;
    const DDrawSurfacePtr backBuffer = CurrentBackBuffer();
    if (!backBuffer || !m_frameSurface)
        return -1;
    HRESULT hr = m_scaler.Blt(*m_frameSurface, nullptr, *backBuffer);
    if (hr == DD_OK) {
        DrawOnBackBuffer(true, m_overlayPort, m_overlayExtra);
        hr = PresentBackBuffer();
    }
    if (hr == DDERR_SURFACELOST) {
        RestoreAfterLoss(true);
        return -1;
    }
    return hr == DD_OK ? 0 : -1;
}

int CDDrawRender::SetRenderCallback(int, ISFVideoRenderCallback* callback)
{
    CSFAutoMutexLock lock(&m_mutex);
    m_callback = callback;
    return 1;
}

int CDDrawRender::EnableVerticalSync(int on)
{
    m_verticalSync = on;
    return 1;
}

int CDDrawRender::Reset()
{
    m_device.reset();
    m_primary.reset();
    m_frameSurface.reset();
    ReleaseBackBuffer();
    m_wnd = nullptr;
    m_frameWidth = m_frameHeight = 0;
    SetRenderCallback(0, nullptr);
    m_windowRect = {0, 0, 0, 0};
    m_copy = nullptr;
    m_verticalSync = 0;
    return 0;
}

int CDDrawRender::Release()
{
    ReleaseBackBuffer();
    m_frameSurface.reset();
    m_primary.reset();
    m_device.reset();
    return 0;
}

void CDDrawRender::LoseSurface(int which)
{
    if (which == 0 && m_frameSurface)
        m_frameSurface->Lose();
    if (which == 1) {
        CSFAutoMutexLock lock(&m_mutex);
        if (m_backBuffer)
            m_backBuffer->Lose();
    }
    if (which == 2 && m_primary)
        m_primary->lost = true;
}

int CDDrawRender::CreateOffScreenSurface(void*& surface, SFPlaneCopyFunc& copy, int w, int h)
{
    surface = nullptr;
    if (!m_device)
        return 0;
    for (const auto& choice : kFormatOrder) {
        if ((CDDrawDevice::AcceptedFormats() & choice.format) == 0)
            continue;
        auto* made = new CDDrawSurface(choice.format, w, h);
        if (!made->IsAllocated()) {
            delete made;
            return 0;
        }
        surface = made;
        copy = choice.copy;
        return 1;
    }
    return 0;
}

void DDrawDestroySurface(void* surface) { delete static_cast<CDDrawSurface*>(surface); }
