#include "VideoWidgets/SFQTVideoWindowPlayWnd.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include <QMouseEvent>
#include <QPainter>

#include "Base/PlanarLayout.h"
#include "Base/TextCodec.h"
#include "VideoWidgets/SFQTVideoWindow.h"
#include "VideoWidgets/SFQTVideoWindowSubWnd.h"

namespace {

bool IsValidRect(const tagRECT& r) { return r.left <= r.right && r.top <= r.bottom; }

QRect ToQRect(const tagRECT& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)); }

bool SameRect(const tagRECT& a, const tagRECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// An image of this size and format, reusing the storage of `image` when
// nobody else holds it.
void Reuse(QImage& image, int w, int h, QImage::Format format)
{
    if (image.width() != w || image.height() != h || image.format() != format || !image.isDetached())
        image = QImage(w, h, format);
}

}  // namespace

CSFQTVideoWindowPlayWnd::CSFQTVideoWindowPlayWnd(const tagRECT& area, int proportionW, int proportionH)
    : m_area(area), m_proportionW(proportionW), m_proportionH(proportionH)
{
    setMouseTracking(true);
    UpdateOpaque();
    m_frameW = width();
    m_frameH = height();
}

CSFQTVideoWindowPlayWnd::~CSFQTVideoWindowPlayWnd() { m_render.Release(); }

CSFQTVideoWindow* CSFQTVideoWindowPlayWnd::Grid() const { return m_cell ? m_cell->Grid() : nullptr; }

int CSFQTVideoWindowPlayWnd::Create(const wchar_t* title, CSFQTVideoWindowSubWnd* cell, int)
{
    m_cell = cell;
    setParent(cell);
    setWindowTitle(title ? QString::fromWCharArray(title) : QString());
    ApplyFit();
    m_render.Init(this);
    m_render.SetRenderCallback(0, this);
    return 1;
}

tagRECT CSFQTVideoWindowPlayWnd::FitArea(const tagRECT& a, int pw, int ph)
{
    if (pw <= 0 || ph <= 0)
        return a;
    const int w = a.right - a.left + 1, h = a.bottom - a.top + 1;
    const int fittedH = (w / pw) * ph;
    if (fittedH <= h) {
        const int top = a.top + (a.bottom - a.top - fittedH + 1) / 2;
        return {a.left, top, a.right, top + fittedH};
    }
    const int fittedW = (h / ph) * pw;
    const int left = a.left + (a.right - a.left - fittedW + 1) / 2;
    return {left, a.top, left + fittedW, a.bottom};
}

void CSFQTVideoWindowPlayWnd::ApplyFit()
{
    m_fitted = ToQRect(FitArea(m_area, m_proportionW, m_proportionH));
    setGeometry(m_fitted);
}

void CSFQTVideoWindowPlayWnd::SetArea(int left, int top, int right, int bottom)
{
    m_area = {left, top, right, bottom};
    ApplyFit();
}

void CSFQTVideoWindowPlayWnd::SetProportion(int w, int h)
{
    m_proportionW = w > 0 && h > 0 ? w : 0;
    m_proportionH = w > 0 && h > 0 ? h : 0;
    ApplyFit();
}

void CSFQTVideoWindowPlayWnd::RestoreGeometry() { setGeometry(m_fitted); }

void CSFQTVideoWindowPlayWnd::SetRecordState(int state)
{
    if (state == m_recordState)
        return;
    m_recordState = state;
    update(ButtonRect(ButtonRecord));
}

void CSFQTVideoWindowPlayWnd::SetVideoState(int on)
{
    m_videoOn = on;
    if (on) {
        m_displayState = 1;
    } else {
        m_source = {0, 0, width() - 1, height() - 1};
        m_frame = QImage();
        m_presented = QImage();
        m_shown = QImage();
        std::vector<BYTE>().swap(m_planarCopy);
        m_planarKept.reset();
        m_planar = nullptr;
        m_planarOn = false;
        m_displayState = 0;
        m_render.ReleaseFrameSurface();
    }
    m_sourceValid = false;
    update();
}

void CSFQTVideoWindowPlayWnd::SetBackgroundColor(const QColor& color)
{
    m_background = color;
    UpdateOpaque();
}

void CSFQTVideoWindowPlayWnd::SetOpacity(double opacity)
{
    if (std::isnan(opacity) || opacity < 0.0 || opacity > 1.0)
        return;
    m_opacity = opacity;
    UpdateOpaque();
    update();
}

void CSFQTVideoWindowPlayWnd::UpdateOpaque()
{
    setAttribute(Qt::WA_OpaquePaintEvent, m_opacity >= 1.0 && m_background.alpha() == 255);
}

void CSFQTVideoWindowPlayWnd::ResetSourceIfNeeded(int w, int h)
{
    if (w != m_frameW || h != m_frameH || !m_sourceValid) {
        m_source = {0, 0, w - 1, h - 1};
        m_sourceValid = true;
    }
}

void CSFQTVideoWindowPlayWnd::TakeFrameSize(int type, int w, int h)
{
    ResetSourceIfNeeded(w, h);
    m_displayState = type;
    m_frameW = w;
    m_frameH = h;
}

void CSFQTVideoWindowPlayWnd::ShowImage(BYTE* data, int type, int w, int h)
{
    if (!data || w < 1 || h < 1)
        return;
    TakeFrameSize(type, w, h);
    m_planarOn = false;
    m_planarKept.reset();
    // Rows of exactly w pixels: the copy reads w * h * 4 bytes and no more.
    Reuse(m_frame, w, h, QImage::Format_RGBX8888);
    if (!m_frame.isNull())
        std::memcpy(m_frame.bits(), data, std::size_t(w) * std::size_t(h) * 4);
    update();
}

void CSFQTVideoWindowPlayWnd::TakePlanar(const BYTE* data, int w, int h, bool vFirst)
{
    TakeFrameSize(RENDER_DATA_QIMAGE, w, h);
    m_planar = data;
    m_planarOn = true;
    m_planarVFirst = vFirst;
    m_frameStale = true;
    m_shownStale = true;
    update();
}

void CSFQTVideoWindowPlayWnd::ShowPlanar(const BYTE* data, int w, int h)
{
    if (!data || w < 2 || h < 2)
        return;
    const std::size_t size = SF_SOFT_BASE::PlanarLayout{w, h}.Size();
    try {
        m_planarCopy.resize(size);
    } catch (const std::bad_alloc&) {
        return;
    }
    std::memcpy(m_planarCopy.data(), data, size);
    m_planarKept.reset();
    TakePlanar(m_planarCopy.data(), w, h, false);
}

void CSFQTVideoWindowPlayWnd::ShowPlanar(const BYTE* data, boost::shared_ptr<const void> owner, int w, int h,
                                         bool vFirst)
{
    if (!data || !owner || w < 2 || h < 2)
        return;
    // The sender's buffer is let go only now that the next one is here.
    m_planarKept = std::move(owner);
    std::vector<BYTE>().swap(m_planarCopy);
    TakePlanar(data, w, h, vFirst);
}

YuvPlanes CSFQTVideoWindowPlayWnd::PlanarPlanes() const
{
    return PackedYuv420Planes(m_planar, m_frameW, m_frameH, m_planarVFirst);
}

const QImage& CSFQTVideoWindowPlayWnd::FrameImage() const
{
    if (m_planarOn && m_frameStale) {
        Reuse(m_frame, m_frameW, m_frameH, QImage::Format_RGBX8888);
        if (m_frame.isNull())
            return m_frame;
        const YuvPlanes p = PlanarPlanes();
        ConvertYuv420ToRgb32(reinterpret_cast<std::uint32_t*>(m_frame.bits()), m_frameW, p.y, p.v, p.u, p.yStride,
                             p.chromaStride, m_frameW, m_frameH);
        m_frameStale = false;
    }
    return m_frame;
}

// The source rectangle, kept inside the frame.
tagRECT CSFQTVideoWindowPlayWnd::ShownSource() const
{
    const int left = std::clamp<int>(m_source.left, 0, m_frameW - 1);
    const int top = std::clamp<int>(m_source.top, 0, m_frameH - 1);
    return {left, top, left + std::clamp(SourceWidth(), 1, m_frameW - left) - 1,
            top + std::clamp(SourceHeight(), 1, m_frameH - top) - 1};
}

// The source rectangle over the whole widget: an unscaled one with the exact
// conversion, a scaled one each pixel from its nearest sample by libswscale.
void CSFQTVideoWindowPlayWnd::ConvertShown() const
{
    const YuvPlanes p = PlanarPlanes();
    const tagRECT source = ShownSource();
    const bool unscaled = source.right - source.left + 1 == width() && source.bottom - source.top + 1 == height();
    // Chroma pairs stay whole from an even corner.
    if (unscaled && source.left % 2 == 0 && source.top % 2 == 0) {
        Reuse(m_shown, width(), height(), QImage::Format_RGBX8888);
        if (m_shown.isNull())
            return;
        const std::ptrdiff_t chroma = std::ptrdiff_t(source.top / 2) * p.chromaStride + source.left / 2;
        ConvertYuv420ToRgb32(reinterpret_cast<std::uint32_t*>(m_shown.bits()), int(m_shown.bytesPerLine() / 4),
                             p.y + std::ptrdiff_t(source.top) * p.yStride + source.left, p.v + chroma, p.u + chroma,
                             p.yStride, p.chromaStride, width(), height());
        return;
    }
    Reuse(m_shown, width(), height(), QImage::Format_RGB32);
    if (!m_shown.isNull())
        m_scaler.BltPlanar(PlanarSource{p.y, p.u, p.v, p.yStride, p.chromaStride, source}, m_shown);
}

const QImage& CSFQTVideoWindowPlayWnd::ShownImage() const
{
    static const QImage none;
    if (!m_planarOn || width() < 1 || height() < 1)
        return none;
    if (m_shownStale || m_shown.size() != size() || !SameRect(m_shownSource, m_source)) {
        ConvertShown();
        if (m_shown.isNull())
            return m_shown;
        m_shownSource = m_source;
        m_shownStale = false;
    }
    return m_shown;
}

int CSFQTVideoWindowPlayWnd::RenderOffScreen(BYTE* data, int w, int h, int port, int extra)
{
    if (!data || w < 1 || h < 1)
        return 0;
    ResetSourceIfNeeded(w, h);
    m_frameW = w;
    m_frameH = h;
    if (m_displayState != 2) {
        m_displayState = 2;
        update();
    }
    tagRECT source = m_source;
    return m_render.Render(nullptr, data, w, h, &source, port, this, extra);
}

tagRECT CSFQTVideoWindowPlayWnd::GetScreenRect() const
{
    if (!isVisible())
        return {-32000, -32000, -32000, -32000};
    const QPoint topLeft = mapToGlobal(QPoint(0, 0));
    return {topLeft.x(), topLeft.y(), topLeft.x() + width() - 1, topLeft.y() + height() - 1};
}

void CSFQTVideoWindowPlayWnd::PresentBackBuffer(const QImage& image)
{
    if (!isVisible())
        return;
    m_presented = image;
    update();
}

QRect CSFQTVideoWindowPlayWnd::ButtonRect(int button) const
{
    const CSFQTVideoWindow* grid = Grid();
    if (!grid || button < ButtonClose || button > ButtonProperty)
        return {};
    const QSize size = grid->ButtonSize();
    const int right = width() - 1 - (button - 1) * (size.width() + 1);
    return QRect(right - size.width() + 1, 1, size.width(), size.height());
}

int CSFQTVideoWindowPlayWnd::HitTestButton(int globalX, int globalY) const
{
    const CSFQTVideoWindow* grid = Grid();
    if (!m_hovered || !grid || !grid->SubWinCtrlsVisible() || !m_videoOn)
        return ButtonNone;
    const QPoint point = mapFromGlobal(QPoint(globalX, globalY));
    for (int button = ButtonClose; button <= ButtonProperty; ++button)
        if (ButtonRect(button).contains(point))
            return button;
    return ButtonNone;
}

QPoint CSFQTVideoWindowPlayWnd::ToFramePixels(const QPoint& p) const
{
    const double x = static_cast<double>(SourceWidth()) * p.x() / std::max(1, width()) + m_source.left;
    const double y = static_cast<double>(SourceHeight()) * p.y() / std::max(1, height()) + m_source.top;
    return {static_cast<int>(x), static_cast<int>(y)};
}

void CSFQTVideoWindowPlayWnd::KeepSourceInsideFrame(tagRECT& r) const
{
    if (r.left < 0) {
        r.right -= r.left;
        r.left = 0;
    }
    if (r.top < 0) {
        r.bottom -= r.top;
        r.top = 0;
    }
    if (r.right > m_frameW - 1) {
        r.left -= r.right - (m_frameW - 1);
        r.right = m_frameW - 1;
    }
    if (r.bottom > m_frameH - 1) {
        r.top -= r.bottom - (m_frameH - 1);
        r.bottom = m_frameH - 1;
    }
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
}

void CSFQTVideoWindowPlayWnd::ApplyZoomRect(int l, int t, int r, int b)
{
    const int w = r - l + 1, h = b - t + 1;
    if (w < 10 || h < 10 || !m_videoOn || width() < 1 || height() < 1)
        return;
    const int srcW = SourceWidth(), srcH = SourceHeight();
    const int sw = static_cast<int>(static_cast<double>(w) * srcW / width());
    const int sh = static_cast<int>(static_cast<double>(h) * srcH / height());
    if (sw < 10 || sh < 10)
        return;
    tagRECT rect{0, 0, sw - 1, sh - 1};
    const double pw = m_proportionW > 0 ? m_proportionW : srcW;
    const double ph = m_proportionH > 0 ? m_proportionH : srcH;
    const double hh = ph * sw / pw;
    if (static_cast<int>(hh) > sh) {
        const int d = static_cast<int>((hh - sh) * 0.5);
        rect.top = -d;
        rect.bottom = sh - 1 + d;
    } else {
        const double ww = pw * sh / ph;
        const int d = static_cast<int>((ww - sw) * 0.5);
        rect.left = -d;
        rect.right = sw - 1 + d;
    }
    const int cx = static_cast<int>(static_cast<double>((l + r) / 2) * srcW / width());
    const int cy = static_cast<int>(static_cast<double>((t + b) / 2) * srcH / height());
    const int dx = cx - (rect.left + rect.right) / 2 + m_source.left;
    const int dy = cy - (rect.top + rect.bottom) / 2 + m_source.top;
    rect = {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
    rect.left = std::max<LONG>(rect.left, 0);
    rect.top = std::max<LONG>(rect.top, 0);
    rect.right = std::min<LONG>(rect.right, m_frameW - 1);
    rect.bottom = std::min<LONG>(rect.bottom, m_frameH - 1);
    m_source = rect;
    update();
}

void CSFQTVideoWindowPlayWnd::WheelZoom(bool zoomOut, int x, int y)
{
    const int srcW = SourceWidth(), srcH = SourceHeight();
    if (srcW < 10 || srcH < 10 || !m_videoOn || width() < 1 || height() < 1 || m_frameW < 1)
        return;
    const double fx = static_cast<double>(srcW) * x / width();
    const double fy = static_cast<double>(srcH) * y / height();
    const double v = m_proportionW > 0 ? 20.0 * m_proportionH / m_proportionW : 20.0 * m_frameH / m_frameW;
    const int dx = static_cast<int>(20 * fx / srcW);
    const int vt = static_cast<int>(v);
    const int dy = static_cast<int>(vt * fy / srcH);
    tagRECT r = m_source;
    if (zoomOut)
        r = {r.left - dx, r.top - dy, r.right + 20 - dx, r.bottom + vt - dy};
    else
        r = {r.left + dx, r.top + dy, r.right + dx - 20, r.bottom + dy - vt};
    const int w = r.right - r.left + 1, h = r.bottom - r.top + 1;
    if (w < 10 || h < 10)
        return;
    if (w > m_frameW || h > m_frameH) {
        m_source = {0, 0, m_frameW - 1, m_frameH - 1};
        update();
        return;
    }
    const double pw = m_proportionW > 0 ? m_proportionW : srcW;
    const double ph = m_proportionH > 0 ? m_proportionH : srcH;
    const double hh = w * ph / pw;
    if (static_cast<int>(hh) <= h) {
        const int shrink = static_cast<int>((h - hh) * 0.5);
        r.top += shrink;
        r.bottom -= shrink;
    } else {
        const double ww = pw * h / ph;
        const int shrink = static_cast<int>((w - ww) * 0.5);
        r.left += shrink;
        r.right -= shrink;
    }
    KeepSourceInsideFrame(r);
    m_source = r;
    update();
}

void CSFQTVideoWindowPlayWnd::DrawButtons(QPainter& painter) const
{
    const CSFQTVideoWindow* grid = Grid();
    if (!m_hovered || !grid || !grid->SubWinCtrlsVisible())
        return;
    const bool held = m_mouseState == 2;
    auto pick = [&](int button, int normal) {
        if (m_buttonUnderMouse != button)
            return normal;
        return held ? normal + 2 : normal + 1;
    };
    using B = CSFQTVideoWindow;
    const int images[] = {pick(ButtonClose, B::ImgCloseNormal), pick(ButtonSnap, B::ImgSnapNormal),
                          m_recordState == 1 ? B::ImgRecordOn : B::ImgRecordOff,
                          pick(ButtonProperty, B::ImgPropertyNormal)};
    for (int button = ButtonClose; button <= ButtonProperty; ++button) {
        const QPixmap& image = grid->ButtonImage(images[button - 1]);
        if (!image.isNull())
            painter.drawPixmap(ButtonRect(button), image);
    }
}

void CSFQTVideoWindowPlayWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setOpacity(m_opacity);
    const CSFQTVideoWindow* grid = Grid();
    if (!m_videoOn || m_displayState == 0) {
        painter.fillRect(rect(), m_background);
        if (grid && !grid->BackgroundImage().isNull()) {
            const QPixmap& bg = grid->BackgroundImage();
            painter.drawPixmap((width() - bg.width()) / 2, (height() - bg.height()) / 2, bg);
        }
    } else if (m_displayState == 1) {
        if (m_planarOn) {
            const QImage& shown = ShownImage();
            if (shown.isNull())
                painter.fillRect(rect(), Qt::black);
            else
                painter.drawImage(QPoint(0, 0), shown);
        } else if (m_frame.isNull()) {
            painter.fillRect(rect(), Qt::black);
            painter.setPen(QColor(110, 110, 110));
            painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, grid ? grid->WaitingText() : QString());
        } else {
            painter.drawImage(QRectF(rect()), m_frame,
                              QRectF(m_source.left, m_source.top, SourceWidth(), SourceHeight()));
        }
    } else if (!m_presented.isNull()) {
        painter.drawImage(rect(), m_presented);
    } else {
        painter.fillRect(rect(), Qt::black);
    }
    if (grid && grid->IsEnableFrameZoomConst() && IsValidRect(m_selection)) {
        painter.setPen(QColor(255, 0, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(ToQRect(m_selection));
    }
    DrawButtons(painter);
}

void CSFQTVideoWindowPlayWnd::OnRenderDC(int, QPainter* painter)
{
    if (!painter)
        return;
    const CSFQTVideoWindow* grid = Grid();
    if (grid && grid->IsEnableFrameZoomConst() && IsValidRect(m_selection)) {
        painter->setPen(QColor(255, 0, 0));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRect(QPoint(m_selection.left, m_selection.top),
                                QPoint(m_selection.right + 1, m_selection.bottom + 1)));
    }
    DrawButtons(*painter);
}

void CSFQTVideoWindowPlayWnd::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    m_mouseState = 1;
    if (event->button() == Qt::LeftButton) {
        m_zoomDrag = true;
        m_pressPoint = pos;
        m_mouseState = 2;
        m_pressFramePoint = ToFramePixels(pos);
    } else if (event->button() == Qt::RightButton) {
        m_source = {0, 0, m_frameW - 1, m_frameH - 1};
        update();
    }
    const QPoint global = event->globalPosition().toPoint();
    m_buttonUnderMouse = HitTestButton(global.x(), global.y());
    if (event->button() == Qt::LeftButton && m_buttonUnderMouse == ButtonRecord)
        m_recordState = m_recordState ? 0 : 1;
    update();
    if (m_cell)
        m_cell->HandleMousePress(event->button(), global, m_buttonUnderMouse != ButtonNone);
}

void CSFQTVideoWindowPlayWnd::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const CSFQTVideoWindow* grid = Grid();
    if (m_mouseState == 2 && m_zoomDrag && grid) {
        if (grid->IsEnableFrameZoomConst()) {
            const QRect selection = QRect(m_pressPoint, pos).normalized() & QRect(0, 0, width(), height());
            m_selection = {selection.left(), selection.top(), selection.right(), selection.bottom()};
            update();
        } else if (grid->DragModeOn()) {
            const QPoint now = ToFramePixels(pos);
            tagRECT r = m_source;
            const int dx = m_pressFramePoint.x() - now.x(), dy = m_pressFramePoint.y() - now.y();
            r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
            KeepSourceInsideFrame(r);
            m_source = r;
            update();
        }
    } else if (!(event->buttons() & Qt::LeftButton)) {
        m_mouseState = 1;
    }
    const QPoint global = event->globalPosition().toPoint();
    const int button = HitTestButton(global.x(), global.y());
    if (button != m_buttonUnderMouse) {
        m_buttonUnderMouse = button;
        update();
    }
    if (m_cell)
        m_cell->HandleMouseMove(global, button != ButtonNone);
}

void CSFQTVideoWindowPlayWnd::mouseReleaseEvent(QMouseEvent* event)
{
    m_mouseState = 1;
    const QPoint global = event->globalPosition().toPoint();
    const QPoint pos = event->position().toPoint();
    m_buttonUnderMouse = HitTestButton(global.x(), global.y());
    update();
    const CSFQTVideoWindow* grid = Grid();
    if (event->button() == Qt::LeftButton && grid && grid->IsEnableFrameZoomConst() && IsValidRect(m_selection))
        ApplyZoomRect(m_selection.left, m_selection.top, m_selection.right, m_selection.bottom);
    m_selection = {0, 0, -1, -1};
    m_zoomDrag = false;
    m_pressPoint = QPoint();
    if (event->button() == Qt::LeftButton)
        ReportButton(m_buttonUnderMouse);
    if (m_cell)
        m_cell->HandleMouseRelease(event->button(), pos);
}

void CSFQTVideoWindowPlayWnd::ReportButton(int button)
{
    CSFQTVideoWindow* grid = Grid();
    if (!grid || !grid->Handler() || !m_hovered || !grid->SubWinCtrlsVisible() || !m_videoOn || !m_cell)
        return;
    const int index = grid->IndexOfCell(m_cell), id = m_cell->GetID();
    ISFVideoWindowEvent* handler = grid->Handler();
    switch (button) {
    case ButtonClose: handler->OnBnClickedVideoClose(index, id); break;
    case ButtonSnap: handler->OnBnClickedVideoSnap(index, id); break;
    case ButtonRecord: handler->OnBnClickedVideoRecord(index, id, m_recordState); break;
    case ButtonProperty: handler->OnBnClickedVideoProperty(index, id); break;
    default: break;
    }
}

void CSFQTVideoWindowPlayWnd::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint global = event->globalPosition().toPoint();
    if (m_cell && event->button() == Qt::LeftButton)
        m_cell->HandleDoubleClick(HitTestButton(global.x(), global.y()) != ButtonNone);
}

void CSFQTVideoWindowPlayWnd::wheelEvent(QWheelEvent* event)
{
    const CSFQTVideoWindow* grid = Grid();
    if (m_videoOn && grid && grid->IsEnableFrameZoomConst()) {
        const QPoint pos = event->position().toPoint();
        WheelZoom(event->angleDelta().y() <= 0, pos.x(), pos.y());
    }
    event->ignore();
}

void CSFQTVideoWindowPlayWnd::enterEvent(QEnterEvent*)
{
    m_hovered = true;
    update();
}

void CSFQTVideoWindowPlayWnd::leaveEvent(QEvent*)
{
    m_hovered = false;
    update();
}
