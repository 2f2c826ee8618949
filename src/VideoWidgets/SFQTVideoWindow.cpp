#include "VideoWidgets/SFQTVideoWindow.h"

#include <QMouseEvent>
#include <QPainter>

#include "Base/SFStreamConvert.h"
#include "VideoWidgets/SFQTVideoWindowPlayWnd.h"
#include "VideoWidgets/SFQTVideoWindowSubWnd.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"

namespace {

QRect Inset(const tagRECT& r) { return QRect(QPoint(r.left + 1, r.top + 1), QPoint(r.right - 1, r.bottom - 1)); }

}  // namespace

CSFQTVideoWindow::CSFQTVideoWindow(VIDEOWINDOWMODE mode, ISFVideoWindowEvent* handler, int maxRows, int maxColumns)
    : CSFVideoWindow(handler),
      m_mode(mode),
      m_maxRows(std::clamp(maxRows, 1, CQTVideoWindowLayout::kMaxGrid)),
      m_maxColumns(std::clamp(maxColumns, 1, CQTVideoWindowLayout::kMaxGrid))
{
    qRegisterMetaType<LAYOUT_TYPE>("LAYOUT_TYPE");
    m_exchangeTimer.setSingleShot(true);
    m_exchangeTimer.setInterval(100);
    connect(&m_exchangeTimer, &QTimer::timeout, this, &CSFQTVideoWindow::OnTimeOutExchangeSubwin,
            Qt::QueuedConnection);
    connect(this, &CSFQTVideoWindow::LayoutChanged, this, &CSFQTVideoWindow::CastLayoutChangedEvent,
            Qt::QueuedConnection);
    connect(this, &CSFQTVideoWindow::sigSetLayout, this, &CSFQTVideoWindow::SetLayout, Qt::QueuedConnection);
    setMouseTracking(true);
}

CSFQTVideoWindow::~CSFQTVideoWindow()
{
    for (auto& entry : m_cells)
        delete entry.second;
    m_cells.clear();
}

int CSFQTVideoWindow::Create(const wchar_t* name, const tagRECT& rect, void* parent, UINT id)
{
    setParent(static_cast<QWidget*>(parent));
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w != m_layout.m_width || h != m_layout.m_height)
        m_layout.CalcCellRects(w, h);
    SF_SOFT_BASE::CSFStreamConvert title(name ? name : L"", 65001);
    setWindowTitle(QString::fromUtf8(title.GetMultiByte()));
    setGeometry(rect.left, rect.top, w, h);
    m_id = id;
    if (m_mode != VIDEOWINDOWMODE_NORMAL)
        return 1;
    for (int i = 0; i < SlotCount(); ++i) {
        auto* cell = new CSFQTVideoWindowSubWnd(this);
        const std::wstring title = L"VideoWindowSubWin" + std::to_wstring(i);
        cell->Create(title.c_str(), tagRECT{0, 0, w, h}, this, i, 4, 3);
        cell->SetBackgroundColor(m_cellColor);
        if (auto it = m_layout.m_cells.find(i); it != m_layout.m_cells.end()) {
            cell->setGeometry(Inset(it->second));
            cell->show();
        } else {
            cell->hide();
        }
        m_cells[i] = cell;
    }
    m_current = m_cells[0];
    return 1;
}

int CSFQTVideoWindow::SetSkin(ImageVideoWindowStyle* s)
{
    if (!s)
        return 0;
    m_background = SFQTLoadSkinImage(s->str0);
    if (m_mode == VIDEOWINDOWMODE_NORMAL) {
        const std::wstring* names[ImgCount] = {&s->str1, &s->str2, &s->str3, &s->str4, &s->str5, &s->str6,
                                               &s->str7, &s->str9, &s->str8, &s->str10, &s->str11};
        for (int i = 0; i < ImgCount; ++i)
            m_buttonImages[i] = SFQTLoadSkinImage(*names[i]);
        const tagPOINT size = SFQTParseSkinPointW(s->str12.c_str());
        m_buttonSize = QSize(size.x, size.y);
    }
    m_cellColor = SFQTParseSkinColorW(s->str13.c_str());
    m_windowColor = SFQTParseSkinColorW(s->str14.c_str());
    m_splitterHighlight = SFQTParseSkinColorW(s->str15.c_str());
    m_splitterDisabled = SFQTParseSkinColorW(s->str16.c_str());
    m_splitterDisabledHighlight = SFQTParseSkinColorW(s->str17.c_str());
    m_focusColor = SFQTParseSkinColorW(s->str18.c_str());
    m_splitterThickness = std::clamp(QString::fromStdWString(s->str19).toInt(), 0, 64);
    m_dashedThickness = std::clamp(QString::fromStdWString(s->str20).toInt(), 0, 64);
    m_waitingText = QString::fromStdWString(s->str21);
    m_secondText = QString::fromStdWString(s->str22);
    for (auto& entry : m_cells)
        entry.second->SetBackgroundColor(m_cellColor);
    update();
    return 0;
}

void CSFQTVideoWindow::MoveWindow(tagRECT* rect)
{
    if (rect)
        MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
}

void CSFQTVideoWindow::MoveWindow(int x, int y, int w, int h)
{
    const bool wasVisible = isVisible();
    if (wasVisible)
        hide();
    setGeometry(x, y, w, h);
    if (wasVisible)
        show();
}

int CSFQTVideoWindow::SetRows(int rows) { return AfterGridChange(m_layout.SetRows(rows)); }

int CSFQTVideoWindow::SetColumns(int columns)
{
    return AfterGridChange(m_layout.SetColumns(columns));
}

int CSFQTVideoWindow::AfterGridChange(int result)
{
    if (result) {
        ApplyAndReportLayout();
        update();
    }
    return result;
}

void CSFQTVideoWindow::ApplyAndReportLayout()
{
    ApplyLayoutRects();
    CastLayoutChangedEvent();
}

void CSFQTVideoWindow::SetSubWinProportion(int w, int h)
{
    for (auto& entry : m_cells)
        entry.second->SetProportion(w, h);
}

int CSFQTVideoWindow::GetLayout(char* buffer, int size)
{
    std::string text;
    m_layout.BuildLayout(text);
    if (!buffer || size <= static_cast<int>(text.size()))
        return 0;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = '\0';
    return 1;
}

int CSFQTVideoWindow::SetDefaultLayout(LAYOUT_TYPE type, const char* custom)
{
    const char* text = type == LAYOUT_CUSTOM ? custom : CSFVideoWindow::GetDefaultLayout(type);
    if (!text || !*text)
        return 0;
    SetLayout(type, QByteArray(text));
    return 1;
}

void CSFQTVideoWindow::SetLayout(LAYOUT_TYPE type, QByteArray text)
{
    if (text.isEmpty())
        return;
    const int oldCount = GetCurrentSubWinCountConst();
    CQTVideoWindowLayout parsed = m_layout;
    if (!parsed.ParseLayout(text.constData()))
        return;  // a malformed text leaves the grid as it is
    m_layout = parsed;
    m_layout.m_type = type;
    m_zoomed = false;
    for (auto& entry : m_cells) {
        if (entry.second->IsZoomed()) {
            entry.second->SetZoomed(0);
            break;
        }
    }
    if (!m_layout.CalcCellRects(std::max(1, width()), std::max(1, height())))
        m_layout.RebuildCells();
    if (m_mode == VIDEOWINDOWMODE_NORMAL) {
        ApplyAndReportLayout();
        const int newCount = GetCurrentSubWinCountConst();
        bool focusLost = false;
        for (int i = oldCount - 1; i >= newCount; --i) {
            if (CSFQTVideoWindowSubWnd* cell = CellAt(i)) {
                cell->hide();
                focusLost = focusLost || cell == m_current;
            }
        }
        // The focus step reports the move from the hidden cell to the handler.
        if (focusLost && CellAt(0))
            CellAt(0)->LaunchSubWinFocusAni();
    }
    update();
}

void CSFQTVideoWindow::ApplyLayoutRects()
{
    if (m_mode != VIDEOWINDOWMODE_NORMAL)
        return;
    for (int i = 0; i < SlotCount(); ++i) {
        CSFQTVideoWindowSubWnd* cell = CellAt(i);
        auto it = m_layout.m_cells.find(i);
        if (!cell)
            continue;
        if (it == m_layout.m_cells.end()) {
            cell->hide();  // every slot beyond the layout, so none is left over
            continue;
        }
        cell->setGeometry(Inset(it->second));
        cell->show();
    }
}

CSFQTVideoWindowSubWnd* CSFQTVideoWindow::CellAt(int index) const
{
    auto it = m_cells.find(index);
    return it == m_cells.end() ? nullptr : it->second;
}

CSFQTVideoWindowSubWnd* CSFQTVideoWindow::CellById(int id, int limit) const
{
    for (const auto& [index, cell] : m_cells)
        if (index >= 0 && index < limit && cell->GetID() == id)
            return cell;
    return nullptr;
}

int CSFQTVideoWindow::IndexOfCell(const CSFQTVideoWindowSubWnd* cell) const
{
    for (const auto& [index, c] : m_cells)
        if (c == cell && index >= 0)
            return index;
    return -1;
}

void* CSFQTVideoWindow::GetSubWinHandle(int index)
{
    if (index < 0 || index >= GetCurrentSubWinCountConst())
        return nullptr;
    CSFQTVideoWindowSubWnd* cell = CellAt(index);
    return cell ? static_cast<QWidget*>(cell->GetPlayWnd()) : nullptr;
}

int CSFQTVideoWindow::GetCurrentSubWinIndex()
{
    for (const auto& [index, cell] : m_cells)
        if (cell == m_current && index >= 0 && index < LayoutSlotCount())
            return index;
    return -1;
}

int CSFQTVideoWindow::GetCurrentSubWinID() { return m_current ? m_current->GetID() : -1; }

int CSFQTVideoWindow::GetSubWinIDByIndex(int index)
{
    if (m_mode != VIDEOWINDOWMODE_NORMAL)
        return -1;
    CSFQTVideoWindowSubWnd* cell = CellAt(index);
    return cell ? cell->GetID() : -1;
}

int CSFQTVideoWindow::GetSubWinIndexByID(int id)
{
    if (m_mode != VIDEOWINDOWMODE_NORMAL)
        return -1;
    for (const auto& [index, cell] : m_cells)
        if (index >= 0 && index < LayoutSlotCount() && cell->GetID() == id)
            return index;
    return -1;
}

void CSFQTVideoWindow::SetSubWinVideoByIndex(int index, int on)
{
    if (CSFQTVideoWindowSubWnd* cell = m_mode == VIDEOWINDOWMODE_NORMAL ? CellAt(index) : nullptr)
        cell->SetVideoState(on);
}

void CSFQTVideoWindow::SetSubWinVideoByID(int id, int on)
{
    if (CSFQTVideoWindowSubWnd* cell = m_mode == VIDEOWINDOWMODE_NORMAL ? CellById(id, SlotCount()) : nullptr)
        cell->SetVideoState(on);
}

// Stops come at every change of file, seek and speed change, in every
// window: only the record button is drawn again, and only when it changes.
void CSFQTVideoWindow::SetSubWinRecordState(int id, int state)
{
    if (CSFQTVideoWindowSubWnd* cell = m_mode == VIDEOWINDOWMODE_NORMAL ? CellById(id, SlotCount()) : nullptr)
        cell->SetRecordState(state);
}

void CSFQTVideoWindow::ResetSubWinSizeToMin(int index)
{
    if (CSFQTVideoWindowSubWnd* cell = index >= 0 ? CellAt(index) : nullptr)
        cell->GetPlayWnd()->RestoreGeometry();
}

void CSFQTVideoWindow::ResetSubWinSizeToMinByID(int id)
{
    if (CSFQTVideoWindowSubWnd* cell = m_mode == VIDEOWINDOWMODE_NORMAL ? CellById(id, SlotCount()) : nullptr)
        cell->GetPlayWnd()->RestoreGeometry();
}

int CSFQTVideoWindow::SetFocusSubWin(int id)
{
    for (const auto& [index, cell] : m_cells) {
        if (index < 0 || index >= LayoutSlotCount())
            continue;
        if (cell->GetID() == id && cell != m_current) {
            cell->LaunchSubWinFocusAni();
            return 1;
        }
    }
    return 0;
}

void CSFQTVideoWindow::SetActiveCheckMode(int on)
{
    m_activeCheckMode = on;
    if (!on)
        m_osdRect = {0, 0, 0, 0};
}

int CSFQTVideoWindow::RenderSubWin(int id, BYTE* data, RENDER_DATA_TYPE type, int w, int h)
{
    CSFQTVideoWindowSubWnd* cell = CellById(id, SlotCount());
    if (!cell)
        return 0;
    cell->GetPlayWnd()->ShowImage(data, type, w, h);
    return 1;
}

int CSFQTVideoWindow::RenderOffScreenSurface(int id, BYTE* data, int w, int h, int port, int extra)
{
    return RenderKeptOffScreenSurface(id, data, {}, w, h, port, extra);
}

int CSFQTVideoWindow::RenderKeptOffScreenSurface(int id, BYTE* data, boost::shared_ptr<const void> owner, int w,
                                                 int h, int port, int extra)
{
    CSFQTVideoWindowSubWnd* cell = CellById(id, SlotCount());
    if (!cell || !data || w < 2 || h < 2)
        return 0;
    cell->FreeRGBBuffer();
    if (cell->GetPlayWnd()->RenderOffScreen(data, w, h, port, extra))
        return 1;
    // The renderer refused (e.g. the cell cannot be seen): the cell keeps the
    // planar frame (a copy unless an owner keeps it) and converts it only
    // where and when it is drawn.
    if (owner)
        cell->GetPlayWnd()->ShowPlanar(data, std::move(owner), w, h, false);
    else
        cell->GetPlayWnd()->ShowPlanar(data, w, h);
    return 1;
}

int CSFQTVideoWindow::RenderPlanarSubWin(int id, boost::shared_ptr<unsigned char[]> frame, int w, int h)
{
    CSFQTVideoWindowSubWnd* cell = CellById(id, SlotCount());
    if (!cell || !frame || w < 2 || h < 2)
        return 0;
    const BYTE* data = frame.get();
    cell->GetPlayWnd()->ShowPlanar(data, std::move(frame), w, h, true);
    return 1;
}

int CSFQTVideoWindow::GetOffScreenSurface(int id, void*& surface, SFPlaneCopyFunc& copy, int w, int h)
{
    CSFQTVideoWindowSubWnd* cell = CellById(id, GetCurrentSubWinCountConst());
    return cell ? cell->GetPlayWnd()->Renderer().CreateOffScreenSurface(surface, copy, w, h) : 0;
}

int CSFQTVideoWindow::SHowSubWinAtLeast(int count)
{
    if (m_mode != VIDEOWINDOWMODE_NORMAL || count < 1)
        return 0;
    struct Choice {
        int upTo;
        LAYOUT_TYPE type;
        int windows;
    };
    static constexpr Choice kChoices[] = {{1, LAYOUT_1, 1},   {4, LAYOUT_4, 4},   {6, LAYOUT_6, 6},
                                          {8, LAYOUT_8, 8},   {9, LAYOUT_9, 9},   {13, LAYOUT_13, 13},
                                          {16, LAYOUT_16, 16}, {25, LAYOUT_25, 25}, {36, LAYOUT_36, 36}};
    for (const auto& choice : kChoices) {
        if (count <= choice.upTo) {
            SetDefaultLayout(choice.type, nullptr);
            return choice.windows;
        }
    }
    SetDefaultLayout(LAYOUT_4, nullptr);
    return 4;
}

int CSFQTVideoWindow::EnableSubWinAnimation(int on)
{
    const int previous = m_animationsEnabled;
    m_animationsEnabled = on;
    return previous;
}

int CSFQTVideoWindow::VerticalSyncEnable(int on)
{
    int all = 1;
    for (auto& entry : m_cells)
        if (entry.second->GetPlayWnd()->Renderer().EnableVerticalSync(on) != 1)
            all = 0;
    return all;
}

void CSFQTVideoWindow::CastLayoutChangedEvent()
{
    if (m_pHandler)
        m_pHandler->OnLayoutChanged();
}

QRect CSFQTVideoWindow::HomeRect(int index) const
{
    auto it = m_layout.m_cells.find(index);
    return it == m_layout.m_cells.end() ? QRect() : Inset(it->second);
}

QRect CSFQTVideoWindow::CellRect(int index) const
{
    auto it = m_layout.m_cells.find(index);
    return it == m_layout.m_cells.end()
               ? QRect()
               : QRect(QPoint(it->second.left, it->second.top), QPoint(it->second.right, it->second.bottom));
}

void CSFQTVideoWindow::SwapCells(int a, int b)
{
    std::swap(m_cells[a], m_cells[b]);
}

void CSFQTVideoWindow::OnCellPress(CSFQTVideoWindowSubWnd* cell, const QPoint& global)
{
    m_pressedIndex = IndexOfCell(cell);
    m_pressed = true;
    cell->raise();
    QPoint point = cell->GetPlayWnd()->mapFromGlobal(global);
    tagPOINT p{point.x(), point.y()};
    if (m_pHandler)
        m_pHandler->VideoWidow_OnLButtonDown(m_pressedIndex, cell->GetID(), p);
    update();
}

void CSFQTVideoWindow::OnCellDragged()
{
    if (m_mode == VIDEOWINDOWMODE_NORMAL && m_pressed)
        m_exchangeTimer.start();
}

void CSFQTVideoWindow::OnCellRelease(CSFQTVideoWindowSubWnd* cell, const QPoint& playWndPoint)
{
    m_exchangeTimer.stop();
    m_pressed = false;
    const QRect g = cell->geometry();
    const QPoint centre((g.left() + g.right()) / 2, (g.top() + g.bottom()) / 2);
    int target = -1;
    for (const auto& [index, other] : m_cells) {
        if (other != cell && index >= 0 && other->isVisible() && CellRect(index).contains(centre)) {
            target = index;
            break;
        }
    }
    cell->SetOpacity(1.0);
    const QRect home = HomeRect(m_pressedIndex);
    if (home.isValid() && g.topLeft() != home.topLeft() && !cell->IsZoomed() && target < 0)
        cell->LaunchSubWinGeometryChangeAni(home, QRect(), 200, QEasingCurve::OutQuint, true);
    tagPOINT p{playWndPoint.x(), playWndPoint.y()};
    if (m_pHandler)
        m_pHandler->VideoWidow_OnLButtonUp(m_pressedIndex, cell->GetID(), p);
    if (!m_frameZoomMode && m_exchangeEnabled && !m_dragMode && target >= 0 && m_pressedIndex >= 0 &&
        !cell->IsGeometryAnimating()) {
        CSFQTVideoWindowSubWnd* other = CellAt(target);
        other->setGeometry(HomeRect(m_pressedIndex));
        cell->setGeometry(HomeRect(target));
        SwapCells(m_pressedIndex, target);
        if (m_pHandler)
            m_pHandler->OnSubWndExchanged(cell->GetID(), other->GetID());
    }
    m_pressedIndex = -1;
    update();
}

void CSFQTVideoWindow::OnTimeOutExchangeSubwin()
{
    CSFQTVideoWindowSubWnd* dragged = CellAt(m_pressedIndex);
    if (!dragged || !m_pressed)
        return;
    const QRect g = dragged->geometry();
    const QPoint centre((g.left() + g.right()) / 2, (g.top() + g.bottom()) / 2);
    for (const auto& [index, other] : m_cells) {
        if (other == dragged || index < 0 || !other->isVisible() || !CellRect(index).contains(centre))
            continue;
        if (!m_exchangeEnabled)
            return;
        other->LaunchSubWinGeometryChangeAni(HomeRect(m_pressedIndex), QRect(), 200, QEasingCurve::OutQuint, true);
        dragged->raise();
        const int otherIndex = index;
        SwapCells(m_pressedIndex, otherIndex);
        if (m_pHandler)
            m_pHandler->OnSubWndExchanged(dragged->GetID(), other->GetID());
        m_pressedIndex = otherIndex;
        return;
    }
}

void CSFQTVideoWindow::SubWinDblClickZoom(int index, CSFQTVideoWindowSubWnd* cell)
{
    if (!cell)
        return;
    const int count = GetCurrentSubWinCountConst();
    if (cell->IsZoomed()) {
        cell->SetZoomed(0);
        for (const auto& [i, other] : m_cells)
            if (other != cell && i >= 0 && i < count)
                other->show();
        cell->LaunchSubWinGeometryChangeAni(HomeRect(index), QRect(), 200, QEasingCurve::OutQuint, true);
        m_zoomed = false;
    } else {
        cell->SetZoomed(1);
        cell->LaunchSubWinGeometryChangeAni(rect(), QRect(), 200, QEasingCurve::OutQuint, true);
        for (const auto& [i, other] : m_cells)
            if (other != cell && i >= 0 && i < count)
                other->hide();
        m_zoomed = true;
    }
    if (m_pHandler)
        m_pHandler->OnSubWinOccupyRoom(index, cell->GetID(), cell->IsZoomed());
    update();
}

int CSFQTVideoWindow::CellIndexAt(const QPoint& point) const
{
    for (const auto& [index, cell] : m_cells)
        if (index >= 0 && cell->isVisible() && cell->geometry().contains(point))
            return index;
    return -1;
}

void CSFQTVideoWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_dragMode)
        setCursor(Qt::ClosedHandCursor);
    QWidget::mousePressEvent(event);
}

QRegion CSFQTVideoWindow::SplitterRegion() const
{
    QRegion region;
    for (const auto& entry : m_layout.m_bars) {
        const tagRECT& r = entry.second.rect;
        region += QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
    }
    return region;
}

void CSFQTVideoWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragMode)
        setCursor(Qt::ArrowCursor);
    else
        setCursor(m_pressed ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    if (m_mode == VIDEOWINDOWMODE_LAYOUT_EDIT) {
        const QPoint p = event->position().toPoint();
        m_layout.HitTestSplitter(p.x(), p.y());
        const QRegion region = SplitterRegion();
        if (region != m_splitterRegion) {
            update(region + m_splitterRegion);
            m_splitterRegion = region;
        }
        update();
    } else if (m_pressed) {
        m_exchangeTimer.start();
    }
    event->accept();
}

void CSFQTVideoWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragMode)
        setCursor(Qt::OpenHandCursor);
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (m_mode == VIDEOWINDOWMODE_LAYOUT_EDIT && m_layout.EndSplitterDrag(p.x(), p.y())) {
            CastLayoutChangedEvent();
            update();
        }
        m_pressPoint = QPoint();
        m_pressed = false;
    } else if (event->button() == Qt::RightButton && m_mode == VIDEOWINDOWMODE_NORMAL) {
        if (CSFQTVideoWindowSubWnd* cell = CellAt(CellIndexAt(p)))
            cell->GetPlayWnd()->RestoreGeometry();
    }
    QWidget::mouseReleaseEvent(event);
}

void CSFQTVideoWindow::wheelEvent(QWheelEvent* event)
{
    if (m_mode != VIDEOWINDOWMODE_NORMAL)
        return;
    const QPoint p = mapFromGlobal(event->globalPosition().toPoint());
    const int index = CellIndexAt(p);
    CSFQTVideoWindowSubWnd* cell = CellAt(index);
    if (cell && cell->IsVideoOn() && m_pHandler)
        m_pHandler->OnSubWinZoom(index, cell->GetID(), event->angleDelta().y() > 0 ? 1 : 0);
}

void CSFQTVideoWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_layout.CalcCellRects(width(), height()))
        return;
    if (m_mode == VIDEOWINDOWMODE_NORMAL) {
        for (const auto& [index, cell] : m_cells) {
            auto it = m_layout.m_cells.find(index);
            if (it == m_layout.m_cells.end())
                break;
            if (!m_zoomed) {
                cell->setGeometry(Inset(it->second));
                cell->show();
            } else if (cell->IsZoomed()) {
                cell->setGeometry(rect());
            } else {
                cell->hide();
            }
        }
    }
    emit LayoutChanged();
}

void CSFQTVideoWindow::PaintSplitters(QPainter& painter) const
{
    for (const auto& [id, bar] : m_layout.m_bars) {
        const QRect r(QPoint(bar.rect.left, bar.rect.top), QPoint(bar.rect.right, bar.rect.bottom));
        const bool vertical = (id >> 16) != 0;
        const bool highlighted = m_layout.m_selection.count(id) != 0;
        const int thickness = bar.enabled ? m_splitterThickness : m_dashedThickness;
        QPen pen(bar.enabled ? (highlighted ? m_splitterHighlight : m_windowColor)
                             : (highlighted ? m_splitterDisabledHighlight : m_splitterDisabled),
                 thickness);
        if (!bar.enabled)
            pen.setDashPattern({5.0 / std::max(1, thickness), 5.0 / std::max(1, thickness)});
        painter.setPen(pen);
        if (vertical)
            painter.drawLine(r.center().x(), r.top(), r.center().x(), r.bottom());
        else
            painter.drawLine(r.left(), r.center().y(), r.right(), r.center().y());
    }
}

void CSFQTVideoWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_mode == VIDEOWINDOWMODE_LAYOUT_EDIT) {
        painter.fillRect(rect(), m_cellColor);
        PaintSplitters(painter);
        return;
    }
    painter.fillRect(rect(), m_windowColor);
    if (m_pressed && m_pressedIndex >= 0)
        painter.fillRect(CellRect(m_pressedIndex), QColor(41, 41, 41));
}
