#include "PlayManager/FrameHandOver.h"

#include <boost/make_shared.hpp>

#include <cstring>

#include <QImage>
#include <QPainter>

#include "Base/PlanarLayout.h"
#include "Base/PostTask.h"
#include "Common/YuvToRgb.h"
#include "Platform/DDraw/DDrawRender.h"
#include "PlayManager/IPlayLibrary.h"
#include "PlayManager/IPlayObjectListener.h"
#include "PlayManager/SynSmartPtr.h"

namespace {

constexpr std::uint32_t kWaitSliceMs = 20;

}  // namespace

CFrameHandOver::CFrameHandOver()
    : m_event(boost::make_shared<SF_SOFT_BASE::CSFEvent>()),
      m_receiverToken(boost::make_shared<int>(1))
{
    m_event->Create(1, 0);
}

CFrameHandOver::~CFrameHandOver() { m_event->Close(); }

void CFrameHandOver::Release() { m_event->Set(); }

std::size_t CFrameHandOver::PlanarSize(int width, int height)
{
    if (width < 2 || height < 2)
        return 0;
    return SF_SOFT_BASE::PlanarLayout{width, height}.Size();
}

CFrameHandOver::Buffer CFrameHandOver::FreeBuffer(Buffer (&pair)[2], std::size_t size,
                                                  std::size_t (&sizes)[2])
{
    for (int i = 0; i < 2; ++i) {
        if (pair[i] && pair[i].use_count() == 1 && sizes[i] == size)
            return pair[i];
    }
    // Remake a slot no receiver holds; when both are held the receivers keep
    // theirs and slot 0 gets a new buffer.
    int slot = 0;
    for (int i = 0; i < 2; ++i) {
        if (!pair[i] || pair[i].use_count() == 1) {
            slot = i;
            break;
        }
    }
    pair[slot] = Buffer(new unsigned char[size]());
    sizes[slot] = size;
    return pair[slot];
}

void CFrameHandOver::WaitUntilDrawn(const StopCheck& stop)
{
    for (;;) {
        const int result = m_event->Wait(kWaitSliceMs);
        if (result != SF_SOFT_BASE::CSFEvent::kTimeout)
            return;
        if (stop && stop())
            return;
    }
}

// The overlay drawer the DirectDraw path draws with, over the picture itself.
void CFrameHandOver::DrawOverlays(unsigned char* rgb, int width, int height, int port, int value)
{
    const DDrawOverlayFunc drawer = CDDrawRender::GetOverlayDrawer();
    if (!drawer)
        return;
    QImage picture(rgb, width, height, width * 4, QImage::Format_RGBX8888);
    QPainter painter(&picture);
    drawer(port, &painter, nullptr, value);
}

void CFrameHandOver::QtFrame(IPlayLibrary& library,
                             const boost::shared_ptr<IPlayObjectListener>& listener,
                             const Frame& frame, const StopCheck& stop, int overlayPort, int overlayValue)
{
    const std::size_t planar = PlanarSize(frame.width, frame.height);
    if (planar == 0 || !frame.data || frame.dataSize < 0 || std::size_t(frame.dataSize) < planar)
        return;
    if (library.GetCurrentPlayingVideoFrameWidth() != frame.width ||
        library.GetCurrentPlayingVideoFrameHeight() != frame.height) {
        library.SetCurrentPlayingVideoFrameWidth(frame.width);
        library.SetCurrentPlayingVideoFrameHeight(frame.height);
    }
    if (listener && overlayPort < 0 && listener->TakesPlanarQtFrames()) {
        PostPlanarQtFrame(listener, frame, planar, stop);
        return;
    }
    const SF_SOFT_BASE::PlanarLayout layout{frame.width, frame.height};
    Buffer rgb = FreeBuffer(m_rgb, layout.LumaSize() * 4, m_rgbSizes);
    // On this path the first chroma plane is V, the second U.
    ConvertYuv420ToRgb32(reinterpret_cast<std::uint32_t*>(rgb.get()), frame.width, frame.data,
                         frame.data + layout.FirstChromaOffset(), frame.data + layout.SecondChromaOffset(),
                         frame.width, layout.ChromaWidth(), frame.width, frame.height);
    if (!listener)
        return;
    if (overlayPort >= 0)
        DrawOverlays(rgb.get(), frame.width, frame.height, overlayPort, overlayValue);
    {
        auto token = boost::make_shared<SynSmartPtr>(m_event);
        SF_POST_TASK(LumivexBase::ML_MAIN, &IPlayObjectListener::OnQTRenderSubWin, listener,
                     frame.handle, rgb, frame.width, frame.height, token);
    }
    rgb.reset();
    WaitUntilDrawn(stop);
}

// A picture the library lends only for the callback is copied; the copy
// lives as long as a receiver holds it, so a receiver never reads freed
// memory. A shared one is handed on as it is.
CFrameHandOver::Buffer CFrameHandOver::PlanarForReceivers(const Frame& frame, std::size_t size)
{
    if (frame.owner && frame.owner.get() == frame.data)
        return frame.owner;
    Buffer copy = FreeBuffer(m_planar, size, m_planarSizes);
    std::memcpy(copy.get(), frame.data, size);
    return copy;
}

void CFrameHandOver::PostPlanarQtFrame(const boost::shared_ptr<IPlayObjectListener>& listener,
                                       const Frame& frame, std::size_t size, const StopCheck& stop)
{
    {
        Buffer shared = PlanarForReceivers(frame, size);
        auto token = boost::make_shared<SynSmartPtr>(m_event);
        SF_POST_TASK(LumivexBase::ML_MAIN, &IPlayObjectListener::OnQTPlanarSubWin, listener, frame.handle,
                     shared, frame.width, frame.height, token);
    }
    WaitUntilDrawn(stop);
}

void CFrameHandOver::DDrawFrame(const boost::shared_ptr<IPlayObjectListener>& listener,
                                const Frame& frame, int overlayPort, int overlayValue,
                                const StopCheck& stop)
{
    const std::size_t planar = PlanarSize(frame.width, frame.height);
    if (planar == 0 || !frame.data || frame.dataSize < 0 || std::size_t(frame.dataSize) < planar)
        return;
    if (listener) {
        // The buffer lives as long as the token.
        Buffer shared = PlanarForReceivers(frame, planar);
        auto token = boost::make_shared<SynSmartPtr>(m_event, shared);
        m_event->Reset();
        SF_POST_TASK(LumivexBase::ML_MAIN, &IPlayObjectListener::OnDDRenderSubWinEx, listener,
                     frame.handle, m_receiverToken, shared.get(), frame.width, frame.height, token,
                     overlayPort, overlayValue);
    }
    if (m_receiverToken.use_count() > 1)
        WaitUntilDrawn(stop);
}
