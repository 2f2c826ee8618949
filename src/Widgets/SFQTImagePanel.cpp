#include "Widgets/SFQTImagePanel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTSkinImageCache.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"

namespace {

const char* const kInfoLabels[4] = {"Type", "Name", "Start Time", "End Time"};

// Positions of a long strip are kept well inside int, so that no sum of
// them overflows.
int Coordinate(std::int64_t value)
{
    constexpr std::int64_t kLimit = 1 << 30;
    return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

}  // namespace

CSFQTImagePanel::CSFQTImagePanel(ISFImagePanelEvent* handler)
    : QWidget(nullptr), CSFImagePanel(handler), m_scrollBar(new QScrollBar(Qt::Horizontal, this))
{
    m_scrollBar->show();
    setAttribute(Qt::WA_MouseTracking, true);
}

int CSFQTImagePanel::Create(const wchar_t*, const tagRECT& rect, void* parent, UINT)
{
    SFQTPlaceControl(this, parent, rect);
    LayOut();
    ResetScrollBar();
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &CSFQTImagePanel::OnScrollBarChanged,
            Qt::UniqueConnection);
    return 1;
}

int CSFQTImagePanel::SetSkin(UIImagePanelStyle* skin)
{
    if (!skin)
        return 0;
    m_backgroundColor = SFQTParseSkinColorW(skin->str12.c_str());
    m_gap = SFQTLimitSkinValue(skin->n4);
    m_marginX = SFQTLimitSkinValue(skin->n2);
    m_marginY = SFQTLimitSkinValue(skin->n3);
    m_itemSize = QSize(SFQTLimitSkinValue(skin->n1), SFQTLimitSkinValue(skin->n0));
    update();
    return 1;
}

void CSFQTImagePanel::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

void CSFQTImagePanel::LayOut()
{
    const int W = width(), H = height(), I = kInfoWidth;
    m_scrollBar->setGeometry(QRect(QPoint(0, H - kScrollBarHeight), QPoint(W - 1 - I, H - 1)));
    m_imageArea = QRect(QPoint(0, 0), QPoint(W - 1 - I, H - 16));
    m_infoArea = QRect(QPoint(W - 1 - I, 0), QPoint(W - 1, H - 1));
    const int X = W - I;
    for (int k = 0; k < 4; ++k) {
        m_labelRects[k] = QRect(QPoint(X, 5 + 20 * k), QPoint(X + 69, 24 + 20 * k));
        m_valueRects[k] = QRect(QPoint(X + 74, 5 + 20 * k), QPoint(X + 193, 24 + 20 * k));
    }
}

void CSFQTImagePanel::ResetScrollBar()
{
    m_scrollBar->setRange(0, 0);
    m_scrollBar->setPageStep(width());
    m_scrollBar->setSingleStep(width() / 10);
    m_scrollBar->show();
}

int CSFQTImagePanel::StripWidth() const
{
    const std::int64_t n = GetCount();
    return Coordinate(n * m_itemSize.width() + (n - 1) * m_gap + 2 * std::int64_t(m_marginX));
}

int CSFQTImagePanel::StripOffset() const
{
    const double free = (m_imageArea.width() - StripWidth()) / 2.0;
    return std::max(static_cast<int>(std::floor(free)), 0);
}

void CSFQTImagePanel::UpdateScrollMaximum()
{
    m_scrollBar->setMaximum(std::max(StripWidth() - m_imageArea.width(), 0));
}

QRect CSFQTImagePanel::ItemRect(int index) const
{
    const std::int64_t left = std::int64_t(StripOffset()) + m_marginX - m_scrollBar->value() +
                              std::int64_t(index) * (m_itemSize.width() + m_gap);
    return QRect(Coordinate(left), m_marginY, m_itemSize.width(), m_itemSize.height());
}

int CSFQTImagePanel::VisibleItemCount() const
{
    int count = 0;
    while (count < GetCount() && ItemRect(count).left() < m_imageArea.right())
        ++count;
    return count;
}

const ImagePanelItem* CSFQTImagePanel::ItemAt(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return &*std::next(m_items.begin(), index);
}

int CSFQTImagePanel::HitTest(const QPoint& point)
{
    m_hoverIndex = -1;
    const int visible = VisibleItemCount();
    for (int i = 0; i < visible; ++i) {
        if (ItemRect(i).contains(point))
            return i;
    }
    return -1;
}

int CSFQTImagePanel::AddItem(const wchar_t* imagePath, const wchar_t* name, const wchar_t* type,
                             const wchar_t* startTime, const wchar_t* endTime)
{
    ImagePanelItem item{SFQTStringFromWide(imagePath), SFQTStringFromWide(name), SFQTStringFromWide(type),
                        SFQTStringFromWide(startTime), SFQTStringFromWide(endTime), QPixmap()};
    const bool duplicate = std::any_of(m_items.begin(), m_items.end(), [&item](const ImagePanelItem& other) {
        return other.imagePath == item.imagePath && other.name == item.name;
    });
    if (duplicate)
        return 0;
    item.image = QPixmap::fromImage(CSFQTSkinImageCache::ReadPicture(item.imagePath));
    m_items.push_back(std::move(item));
    UpdateScrollMaximum();
    update();
    return 1;
}

void CSFQTImagePanel::ClearItems()
{
    m_items.clear();
    UpdateScrollMaximum();
    update();
}

void CSFQTImagePanel::DelByItemName(const wchar_t* name)
{
    const QString wanted = SFQTStringFromWide(name);
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [&wanted](const ImagePanelItem& item) { return item.name == wanted; });
    if (found != m_items.end()) {
        // The hot and hovered items keep naming the same item, or none when it goes.
        const int erased = static_cast<int>(std::distance(m_items.begin(), found));
        m_items.erase(found);
        for (int* index : {&m_hotIndex, &m_hoverIndex}) {
            if (*index == erased)
                *index = -1;
            else if (*index > erased)
                --*index;
        }
    }
    UpdateScrollMaximum();
}

const wchar_t* CSFQTImagePanel::GetHotImagePath()
{
    const ImagePanelItem* hot = ItemAt(m_hotIndex);
    if (!hot)
        return nullptr;
    m_hotPath = SFQTWideFromString(hot->imagePath);
    return m_hotPath.c_str();
}

void CSFQTImagePanel::PaintItems(QPainter& painter)
{
    const int visible = VisibleItemCount();
    auto it = m_items.begin();
    for (int i = 0; i < visible; ++i, ++it) {
        QRect cell = ItemRect(i);
        if (i == m_hoverIndex) {
            cell.adjust(-m_gap, -m_gap, m_gap, m_gap);
            m_infoValues[0] = it->type;
            m_infoValues[1] = it->name;
            m_infoValues[2] = it->startTime;
            m_infoValues[3] = it->endTime;
        }
        painter.drawPixmap(cell, it->image);
        if (i == m_hotIndex) {
            painter.fillRect(cell, QColor(69, 136, 255));
            painter.drawPixmap(cell.adjusted(1, 1, -1, -1), it->image);
        }
    }
}

void CSFQTImagePanel::PaintInformation(QPainter& painter)
{
    painter.fillRect(m_infoArea, QColor(92, 101, 118));
    for (int k = 0; k < 4; ++k) {
        painter.drawText(m_labelRects[k], Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(kInfoLabels[k]));
        painter.drawText(m_valueRects[k], Qt::AlignCenter, m_infoValues[k]);
    }
}

void CSFQTImagePanel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(m_imageArea, m_backgroundColor);
    for (auto& value : m_infoValues)
        value.clear();
    PaintItems(painter);
    PaintInformation(painter);
    QWidget::paintEvent(event);
}

void CSFQTImagePanel::resizeEvent(QResizeEvent* event)
{
    LayOut();
    ResetScrollBar();
    UpdateScrollMaximum();
    QWidget::resizeEvent(event);
}

void CSFQTImagePanel::mouseMoveEvent(QMouseEvent* event)
{
    m_hoverIndex = HitTest(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
    update();
}

void CSFQTImagePanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_hotIndex = HitTest(event->position().toPoint());
    const ImagePanelItem* hot = ItemAt(m_hotIndex);
    if (m_pHandler && hot) {
        const std::wstring path = SFQTWideFromString(hot->imagePath);
        m_pHandler->IMGPNL_OnPlayImage(path.c_str());
    }
    QWidget::mouseDoubleClickEvent(event);
    update();
}

void CSFQTImagePanel::wheelEvent(QWheelEvent* event)
{
    QCoreApplication::postEvent(m_scrollBar, event->clone());
    event->accept();
}

void CSFQTImagePanel::OnScrollBarChanged(int)
{
    update();
}

void CSFQTImagePanel::OnDoubleClick() {}
