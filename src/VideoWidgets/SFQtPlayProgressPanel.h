#pragma once

#include <vector>

#include <QPixmap>
#include <QWidget>

#include "VideoWidgets/TimeLineModel.h"

class CSFQTPlayProgressPanel;

// Draws the time line's scale, rows, segments, cursors and cut marks and
// turns the mouse into model changes and signals.
class SFQtPlayProgressPanel : public QWidget {
    Q_OBJECT
public:
    enum Image { ImgRecord, ImgOtherRecord, ImgBackDisabled, ImgBackEnabled, ImgForwardDisabled, ImgForwardEnabled,
                 ImgCount };

    SFQtPlayProgressPanel(CTimeLineModel& model, CSFQTPlayProgressPanel* panel);

    struct ScaleMark {
        int x;          // from the time area's left edge
        QString label;  // empty for a dot only
    };
    // The dots and labels of the day scale for a view of the given size.
    static std::vector<ScaleMark> DayScale(int virtualWidth, int offset, int visibleWidth);

    void SetImage(int which, const QPixmap& image) { m_images[which] = image; }
    int PressedRow() const { return m_pressedRow; }

signals:
    void PropertyChanged();
    void HighlightChannelChanged(int channel);
    void MousePress(int channel);
    void MouseRelease(int channel);
    void MouseOver(int channel, QPoint globalPos, int time);
    void PositionChanged(int channel, int segmentId, int position, bool firstMark);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool InTimeArea(const QPoint& p) const;
    int ClampedX(const QPoint& p) const;
    int XToTime(int x) const;
    void MoveNearerCutMark(int x);
    // Puts the channel's cursor at a time of its shown day; the time set.
    int PlaceCursor(int channel, int secondsOfDay);
    // Reports the cursor at x (time) of a channel as a position change.
    void ReportCursor(int channel, int x, int time);
    void ReleaseOnNameColumn(const QPoint& p);
    void ReleaseInTimeLine(const QPoint& p);
    void StepDays(bool forward);
    int LabelLeft() const;

    void PaintDayView(QPainter& painter) const;
    void PaintRows(QPainter& painter) const;
    void PaintArrows(QPainter& painter) const;
    void PaintScale(QPainter& painter) const;
    void PaintSegments(QPainter& painter, int row) const;
    static void FillSegmentBar(QPainter& painter, const QRect& bar);
    void PaintCursorLabel(QPainter& painter, int x, const QRect& band, int seconds, const QColor& box,
                          bool fullHeight) const;
    void PaintCommonCursor(QPainter& painter) const;
    void PaintCutMarks(QPainter& painter, long long base, int virtualWidth, long long divisor, int offset,
                       const QColor& edge) const;
    void PaintSingleView(QPainter& painter) const;
    QRect RowBand(int row, int left, int right) const;
    QRect TimeAreaRect() const;

    CTimeLineModel& m_model;
    CSFQTPlayProgressPanel* m_panel;
    bool m_buttonHeld = false;
    // A MousePress was emitted and no MouseRelease yet.
    bool m_pressReported = false;
    int m_pressedRow = -1;
    QPixmap m_images[ImgCount];
};
