#pragma once

#include <QRectF>

class QPainter;

namespace IVS_DRAWER {

class CIvsPortState;

// Paints a port's current overlays into a rectangle: rules as lines or
// polygons with their names, the boxes of alarmed targets, object tracks.
class CIvsOverlayPainter {
public:
    CIvsOverlayPainter(QPainter& painter, const QRectF& area) : m_painter(painter), m_area(area) {}

    void Paint(const CIvsPortState& port);

private:
    void PaintRules(const CIvsPortState& port);
    void PaintAlarmBoxes(const CIvsPortState& port);
    void PaintTracks(const CIvsPortState& port);
    void UsePen(const CIvsPortState& port, int kind);
    QPointF Map(unsigned x, unsigned y) const;

    QPainter& m_painter;
    QRectF m_area;
};

}  // namespace IVS_DRAWER
