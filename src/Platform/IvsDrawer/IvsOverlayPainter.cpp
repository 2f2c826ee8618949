#include "Platform/IvsDrawer/IvsOverlayPainter.h"

#include <QPainter>
#include <QPolygonF>

#include "Platform/IvsDrawer/IvsDrawer.h"
#include "Platform/IvsDrawer/IvsPortState.h"

namespace IVS_DRAWER {

namespace {

QColor FromColorRef(std::uint32_t color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

}  // namespace

QPointF CIvsOverlayPainter::Map(unsigned x, unsigned y) const
{
    const double scale = PLAY_MODULE::KvxOverlayPoint::kScale;
    return {m_area.left() + x * (m_area.width() - 1) / scale,
            m_area.top() + y * (m_area.height() - 1) / scale};
}

void CIvsOverlayPainter::UsePen(const CIvsPortState& port, int kind)
{
    const IvsKindStyle& style = port.Style(kind);
    m_painter.setPen(QPen(FromColorRef(style.color), style.lineWidth));
    m_painter.setBrush(Qt::NoBrush);
}

void CIvsOverlayPainter::Paint(const CIvsPortState& port)
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    if (port.Draws(IVS_KIND_RULE))
        PaintRules(port);
    if (port.Draws(IVS_KIND_TRACK))
        PaintTracks(port);
    if (port.Draws(IVS_KIND_ALARM))
        PaintAlarmBoxes(port);
    m_painter.restore();
}

void CIvsOverlayPainter::PaintRules(const CIvsPortState& port)
{
    const PLAY_MODULE::KvxOverlayRules* rules = port.Rules();
    if (!rules)
        return;
    for (const auto& rule : rules->rules) {
        UsePen(port, rule.alarm ? IVS_KIND_ALARM : IVS_KIND_RULE);
        QPolygonF shape;
        for (const auto& point : rule.points)
            shape << Map(point.x, point.y);
        if (shape.isEmpty())
            continue;
        if (rule.shape == PLAY_MODULE::KvxOverlayRules::Polygon)
            m_painter.drawPolygon(shape);
        else
            m_painter.drawPolyline(shape);
        if (!rule.name.empty())
            m_painter.drawText(shape.first() + QPointF(2, -2), QString::fromStdString(rule.name));
    }
}

void CIvsOverlayPainter::PaintAlarmBoxes(const CIvsPortState& port)
{
    const PLAY_MODULE::KvxOverlayTargets* targets = port.Targets();
    if (!targets)
        return;
    UsePen(port, IVS_KIND_ALARM);
    for (const auto& target : targets->targets) {
        if (!target.alarm)
            continue;
        const QPointF topLeft = Map(target.topLeft.x, target.topLeft.y);
        const QPointF bottomRight = Map(std::min<unsigned>(target.topLeft.x + target.size.x,
                                                           PLAY_MODULE::KvxOverlayPoint::kScale),
                                        std::min<unsigned>(target.topLeft.y + target.size.y,
                                                           PLAY_MODULE::KvxOverlayPoint::kScale));
        m_painter.drawRect(QRectF(topLeft, bottomRight));
    }
}

void CIvsOverlayPainter::PaintTracks(const CIvsPortState& port)
{
    const PLAY_MODULE::KvxOverlayTargets* targets = port.Targets();
    if (!targets)
        return;
    UsePen(port, IVS_KIND_TRACK);
    for (const auto& target : targets->targets) {
        QPolygonF track;
        for (const auto& point : target.track)
            track << Map(point.x, point.y);
        if (track.size() > 1)
            m_painter.drawPolyline(track);
    }
}

}  // namespace IVS_DRAWER
