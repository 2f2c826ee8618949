#include "VideoWidgets/SFQtPlayProgressPanel.h"

#include <algorithm>
#include <cmath>

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "VideoWidgets/SFQTPlayProgressPanel.h"

namespace {

const QColor kBackground(50, 50, 50);
const QColor kSegmentTop(140, 205, 104);
const QColor kSegmentBottom(53, 120, 26);
const QColor kHighlight(56, 182, 255);
const QColor kLabelBox(255, 165, 59, 76);
const QColor kSingleBackdrop(171, 173, 178, 1);
const QColor kSingleLabelBox(171, 173, 178, 50);

QRect ToQRect(const tagRECT& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)); }

QString Two(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

QString ClockText(long long seconds)
{
    const int s = static_cast<int>(std::max(0LL, seconds));
    return QStringLiteral("%1:%2:%3").arg(Two(s / 3600), Two(s / 60 % 60), Two(s % 60));
}

struct ScaleBand {
    double maxPph;
    int unit;       // seconds
    int dotStep;    // seconds; 0 none
    int labelStep;  // seconds
    int style;      // 0 " H", 1 "HH", 2 "HH:MM:00", 3 "HH:MM:SS"
};

constexpr ScaleBand kScale[] = {
    {60, 900, 0, 3600, 0},  {160, 60, 600, 3600, 1}, {400, 60, 300, 1800, 2}, {800, 30, 180, 900, 2},
    {2400, 10, 60, 300, 2}, {3600, 1, 60, 120, 2},   {1e300, 1, 12, 60, 3},
};

QString ScaleLabel(int seconds, int style)
{
    const int h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    switch (style) {
    case 0: return QStringLiteral("%1").arg(h, 2, 10, QLatin1Char(' '));
    case 1: return Two(h);
    case 2: return QStringLiteral("%1:%2:00").arg(Two(h), Two(m));
    default: return QStringLiteral("%1:%2:%3").arg(Two(h), Two(m), Two(s));
    }
}

}  // namespace

SFQtPlayProgressPanel::SFQtPlayProgressPanel(CTimeLineModel& model, CSFQTPlayProgressPanel* panel)
    : QWidget(panel), m_model(model), m_panel(panel)
{
    setMouseTracking(true);
    connect(this, &SFQtPlayProgressPanel::MousePress, this, [this] { m_pressReported = true; });
    connect(this, &SFQtPlayProgressPanel::MouseRelease, this, [this] { m_pressReported = false; });
}

int SFQtPlayProgressPanel::LabelLeft() const { return m_panel ? m_panel->SliderBackgroundLeft() : 0; }

QRect SFQtPlayProgressPanel::TimeAreaRect() const { return ToQRect(m_model.timeArea); }

QRect SFQtPlayProgressPanel::RowBand(int row, int left, int right) const
{
    return QRect(QPoint(left, m_model.RowTop(row)), QPoint(right, m_model.RowBottom(row)));
}

bool SFQtPlayProgressPanel::InTimeArea(const QPoint& p) const { return TimeAreaRect().contains(p); }

int SFQtPlayProgressPanel::ClampedX(const QPoint& p) const
{
    return std::clamp(p.x(), static_cast<int>(m_model.timeArea.left), static_cast<int>(m_model.timeArea.right)) -
           m_model.timeArea.left;
}

int SFQtPlayProgressPanel::XToTime(int x) const
{
    return m_model.singleView ? m_model.SingleXToTime(x) : m_model.DayXToSeconds(x);
}

void SFQtPlayProgressPanel::MoveNearerCutMark(int x)
{
    int channel = -1;
    long long t = XToTime(x);
    if (m_model.singleView) {
        channel = m_model.singleChannel;
    } else {
        const UISF_Channel* record = m_model.RowRecord(0);
        if (!record)
            return;
        channel = record->channel;
        t += m_model.MidnightOfCurrentDay(channel);
    }
    const int time = static_cast<int>(t);
    const long long d0 = std::llabs(t - m_model.cutMarks[0]), d1 = std::llabs(t - m_model.cutMarks[1]);
    const bool firstMark = d1 > d0;
    m_model.cutMarks[firstMark ? 0 : 1] = time;
    if (channel >= 0) {
        const auto found = m_model.FindSegment(channel, m_model.XToPercentage(x));
        emit PositionChanged(channel, found.id, time, firstMark);
    }
}

void SFQtPlayProgressPanel::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    m_buttonHeld = true;
    if (InTimeArea(p)) {
        const int x = p.x() - m_model.timeArea.left;
        if (m_model.singleView) {
            if (m_model.cutMarksOn) {
                MoveNearerCutMark(x);
            } else if (const UISF_Channel* record = m_model.RowRecord(m_pressedRow)) {
                const int t = XToTime(x);
                if (t >= 0)
                    m_model.cursors[record->channel] = t;
            }
            update();
            emit MousePress(-1);
        } else if (m_model.cutMarksOn) {
            MoveNearerCutMark(x);
            if (const UISF_Channel* record = m_model.RowRecord(m_model.RowAt(p.y())))
                emit MousePress(record->channel);
            update();
        } else {
            m_pressedRow = m_model.RowAt(p.y());
            const UISF_Channel* record = m_model.RowRecord(m_pressedRow);
            const int t = XToTime(x);
            if (record && t >= 0) {
                const int channel = record->channel;
                const int a = PlaceCursor(channel, t);
                m_model.highlighted = channel;
                m_model.commonCursor = a;
                ReportCursor(channel, x, a);
                emit HighlightChannelChanged(channel);
                emit MousePress(channel);
                update();
            }
        }
    }
    QWidget::mousePressEvent(event);
}

int SFQtPlayProgressPanel::PlaceCursor(int channel, int secondsOfDay)
{
    // The day the row shows, as the release and the painting take it.
    const int time = static_cast<int>(m_model.MidnightOfCurrentDay(channel) + secondsOfDay);
    m_model.cursors[channel] = time;
    return time;
}

void SFQtPlayProgressPanel::ReportCursor(int channel, int x, int time)
{
    const auto found = m_model.FindSegment(channel, m_model.XToPercentage(x));
    emit PositionChanged(channel, found.id, time, false);
    emit PropertyChanged();
}

void SFQtPlayProgressPanel::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (m_buttonHeld) {
        const int x = ClampedX(p);
        if (m_model.cutMarksOn) {
            MoveNearerCutMark(x);
            update();
        } else if (!m_model.singleView) {
            const UISF_Channel* record = m_model.RowRecord(m_pressedRow);
            const int t = XToTime(x);
            if (record && t >= 1) {
                const int channel = record->channel;
                ReportCursor(channel, x, PlaceCursor(channel, t));
                update();
            }
        } else if (m_model.Record(m_model.singleChannel)) {
            m_model.cursors[m_model.singleChannel] = XToTime(x);
            emit PropertyChanged();
            update();
        }
    } else {
        const int row = m_model.RowAtInclusive(p.y());
        if (const UISF_Channel* record = m_model.RowRecord(row)) {
            emit MouseOver(record->channel, event->globalPosition().toPoint(),
                           XToTime(p.x() - m_model.timeArea.left));
            const QRect label = RowBand(row, LabelLeft(), m_model.timeArea.left);
            if (label.contains(p))
                QToolTip::showText(event->globalPosition().toPoint(), QString::fromStdWString(record->name), this,
                                   label);
        }
    }
    event->accept();
}

void SFQtPlayProgressPanel::StepDays(bool forward)
{
    m_model.StepAll(forward, true);
    m_model.commonDayCounter += forward ? 1 : -1;
    emit PropertyChanged();
    update();
}

void SFQtPlayProgressPanel::ReleaseOnNameColumn(const QPoint& p)
{
    if (!m_model.singleView) {
        for (int row = 0; row < 4; ++row) {
            const UISF_Channel* record = m_model.RowRecord(row);
            if (!record || !RowBand(row, m_model.nameColumn.left, m_model.nameColumn.right).contains(p))
                continue;
            m_model.highlighted = record->channel;
            m_model.FollowCursorDay(record->channel);
            emit PropertyChanged();
            emit HighlightChannelChanged(record->channel);
            update();
            break;
        }
    }
    emit MouseRelease(-1);
}

void SFQtPlayProgressPanel::ReleaseInTimeLine(const QPoint& p)
{
    const int x = ClampedX(p);
    if (!m_model.singleView && m_model.cutMarksOn) {
        MoveNearerCutMark(x);
        if (const UISF_Channel* record = m_model.RowRecord(m_model.RowAt(p.y())))
            emit MouseRelease(record->channel);
        update();
    } else if (!m_model.singleView) {
        const UISF_Channel* record = m_model.RowRecord(m_pressedRow);
        const int t = XToTime(x);
        if (record && t >= 1) {
            m_model.cursors[record->channel] = static_cast<int>(m_model.MidnightOfCurrentDay(record->channel) + t);
            emit PropertyChanged();
            emit MouseRelease(record->channel);
            update();
        }
    } else if (m_model.cutMarksOn) {
        MoveNearerCutMark(x);
        update();
        emit MouseRelease(-1);
    } else if (const UISF_Channel* record = m_model.Record(m_model.singleChannel)) {
        m_model.cursors[record->channel] = XToTime(x);
        const double percentage = m_model.XToPercentage(x);
        const auto found = m_model.FindSegment(record->channel, percentage);
        emit PositionChanged(record->channel, found.id, static_cast<int>(percentage), false);
        emit PropertyChanged();
        update();
        emit MouseRelease(-1);
    }
}

void SFQtPlayProgressPanel::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (ToQRect(m_model.prevArrow).contains(p)) {
        if (m_model.canGoBack)
            StepDays(false);
    } else if (ToQRect(m_model.nextArrow).contains(p)) {
        if (m_model.canGoForward)
            StepDays(true);
    } else if (ToQRect(m_model.nameColumn).contains(p)) {
        ReleaseOnNameColumn(p);
    } else if (m_buttonHeld) {
        ReleaseInTimeLine(p);
    }
    // The panel ignores play times while a press is held: a release that
    // reported nothing else (time 0, an arrow) still ends the hold.
    if (m_pressReported)
        emit MouseRelease(-1);
    m_buttonHeld = false;
    QWidget::mouseReleaseEvent(event);
}

void SFQtPlayProgressPanel::wheelEvent(QWheelEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (InTimeArea(p)) {
        const int anchor = p.x() - m_model.timeArea.left;
        const bool zoomOut = event->angleDelta().y() < 1;
        if (m_model.singleView) {
            if (zoomOut)
                m_model.singleOffset = 0;
        } else if (zoomOut) {
            m_model.ZoomOut(anchor);
        } else {
            m_model.ZoomIn(anchor);
        }
        update();
        emit PropertyChanged();
    }
    QWidget::wheelEvent(event);
}

void SFQtPlayProgressPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const tagRECT& area = m_model.timeArea;
    painter.fillRect(QRect(QPoint(area.left, m_model.nameColumn.top), QPoint(area.right, area.bottom)), kBackground);
    if (m_model.singleView)
        PaintSingleView(painter);
    else
        PaintDayView(painter);
}

void SFQtPlayProgressPanel::PaintRows(QPainter& painter) const
{
    const tagRECT& area = m_model.timeArea;
    painter.setPen(Qt::darkGray);
    for (int row = 0; row < 4; ++row)
        painter.drawLine(area.left, m_model.RowTop(row), area.right, m_model.RowTop(row));
    for (int row = 0; row < 4; ++row) {
        const UISF_Channel* record = m_model.RowRecord(row);
        if (!record)
            continue;
        if (record->channel == m_model.highlighted) {
            painter.setPen(kHighlight);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRect(QPoint(area.left + 1, m_model.RowTop(row)), QPoint(area.right - 1, m_model.RowBottom(row))));
        }
        painter.setPen(Qt::white);
        painter.drawText(RowBand(row, LabelLeft(), m_model.nameColumn.right), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromStdWString(record->name));
    }
}

void SFQtPlayProgressPanel::PaintArrows(QPainter& painter) const
{
    if (!m_model.canGoBack && !m_model.canGoForward)
        return;
    const QPixmap& back = m_images[m_model.canGoBack ? ImgBackEnabled : ImgBackDisabled];
    const QPixmap& forward = m_images[m_model.canGoForward ? ImgForwardEnabled : ImgForwardDisabled];
    if (!back.isNull())
        painter.drawPixmap(ToQRect(m_model.prevArrow), back);
    if (!forward.isNull())
        painter.drawPixmap(ToQRect(m_model.nextArrow), forward);
}

std::vector<SFQtPlayProgressPanel::ScaleMark> SFQtPlayProgressPanel::DayScale(int virtualWidth, int offset,
                                                                             int visibleWidth)
{
    std::vector<ScaleMark> marks;
    const double pph = virtualWidth / 24.0;
    if (pph <= 0)
        return marks;
    const ScaleBand* band = &kScale[0];
    while (pph > band->maxPph)
        ++band;
    const double u = pph * band->unit / 3600.0;
    const int unitsPerDay = 86400 / band->unit;
    for (long long k = static_cast<long long>(offset / u); k <= unitsPerDay; ++k) {
        const double x = k * u - offset;
        if (x >= visibleWidth + u)
            break;
        const long long seconds = k * band->unit;
        if (seconds % band->labelStep == 0)
            marks.push_back({static_cast<int>(x), ScaleLabel(static_cast<int>(seconds), band->style)});
        else if (band->dotStep > 0 && seconds % band->dotStep == 0)
            marks.push_back({static_cast<int>(x), QString()});
    }
    return marks;
}

void SFQtPlayProgressPanel::PaintScale(QPainter& painter) const
{
    const tagRECT& area = m_model.timeArea;
    const int nameHeight = m_model.nameColumn.bottom - m_model.nameColumn.top + 1;
    const QFontMetrics metrics(painter.font());
    const auto marks = DayScale(m_model.dayVirtualWidth, m_model.dayOffset, m_model.visibleWidth);
    for (size_t i = 0; i < marks.size(); ++i) {
        const int px = area.left + marks[i].x;
        painter.setPen(Qt::black);
        painter.drawPoint(px, area.top + 9);
        if (marks[i].label.isEmpty())
            continue;
        painter.setPen(Qt::darkGray);
        painter.drawLine(px, area.top + 8, px, area.top + 8 + nameHeight + 1);
        const int w = metrics.horizontalAdvance(marks[i].label);
        int left = px - w / 2;
        if (marks[i].x + m_model.dayOffset == 0)
            left += 5;
        if (marks[i].x + m_model.dayOffset >= m_model.dayVirtualWidth - 1)
            left -= 5;
        // Light, on the band above the rows, with its baseline two pixels above them.
        painter.setPen(Qt::white);
        painter.drawText(QPoint(left, m_model.nameColumn.top - 2), marks[i].label);
    }
}

void SFQtPlayProgressPanel::PaintCursorLabel(QPainter& painter, int x, const QRect& band, int seconds,
                                            const QColor& box, bool fullHeight) const
{
    const QString text = ClockText(seconds);
    const QFontMetrics metrics(painter.font());
    const int w = metrics.horizontalAdvance(text);
    const int h = fullHeight ? band.height() : metrics.height();
    const int top = fullHeight ? band.top() : band.center().y() - h / 2;
    const int lineX = m_model.timeArea.left + x;
    const bool left = x >= w;
    const QRect rect = left ? QRect(lineX - w, top, w, h) : QRect(lineX, top, w, h);
    painter.fillRect(rect, box);
    painter.setPen(Qt::white);
    painter.drawText(rect, (left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
}

void SFQtPlayProgressPanel::FillSegmentBar(QPainter& painter, const QRect& bar)
{
    if (!bar.isValid())
        return;
    QLinearGradient gradient(bar.topLeft(), bar.bottomLeft());
    gradient.setColorAt(0, kSegmentTop);
    gradient.setColorAt(1, kSegmentBottom);
    painter.fillRect(bar, gradient);
}

void SFQtPlayProgressPanel::PaintSegments(QPainter& painter, int row) const
{
    const UISF_Channel* record = m_model.RowRecord(row);
    const int channel = record->channel;
    auto counter = m_model.dayCounters.find(channel);
    if (counter != m_model.dayCounters.end() && counter->second < m_model.commonDayCounter)
        return;
    const tagRECT& area = m_model.timeArea;
    auto days = m_model.days.find(channel);
    const long long midnight = m_model.MidnightOfCurrentDay(channel);
    const QRect visible = TimeAreaRect();
    if (days != m_model.days.end()) {
        auto list = days->second.days.find(days->second.current);
        if (list != days->second.days.end()) {
            // Segments that touch on screen are filled as one bar: a day of
            // short files has many to a pixel.
            QRect bar;
            for (const auto& s : list->second) {
                const long long start = std::clamp<long long>(s.start - midnight, 0, 86400);
                const long long end = std::clamp<long long>(s.end - midnight, 0, 86400);
                const int x0 = area.left + static_cast<int>(start * m_model.dayVirtualWidth / 86400 - m_model.dayOffset);
                const int x1 = area.left + static_cast<int>(end * m_model.dayVirtualWidth / 86400 - m_model.dayOffset);
                const QRect r(QPoint(x0, m_model.RowTop(row) + 1), QPoint(x1, m_model.RowBottom(row)));
                if (!r.intersects(visible))
                    continue;
                if (bar.isValid() && r.left() <= bar.right() + 1 && r.right() >= bar.left() - 1) {
                    bar = bar.united(r);
                    continue;
                }
                FillSegmentBar(painter, bar);
                bar = r;
            }
            FillSegmentBar(painter, bar);
        }
    }
    const QRect band = RowBand(row, area.left, area.right);
    if (!record->rowText.empty()) {
        painter.setPen(Qt::white);
        painter.drawText(band, Qt::AlignCenter, QString::fromStdWString(record->rowText));
    }
    auto cursor = m_model.cursors.find(channel);
    if (m_model.commonCursorOn || cursor == m_model.cursors.end())
        return;
    const long long s = cursor->second - midnight;
    if (cursor->second < midnight || s > 86400)
        return;
    const int x = static_cast<int>(s * (m_model.dayVirtualWidth / 24.0) / 3600 - m_model.dayOffset);
    painter.setPen(Qt::white);
    painter.drawLine(area.left + x, band.top(), area.left + x, band.bottom());
    PaintCursorLabel(painter, x, band, static_cast<int>(s), kLabelBox, true);
}

void SFQtPlayProgressPanel::PaintCommonCursor(QPainter& painter) const
{
    if (!m_model.commonCursorOn || m_model.commonCursor <= 0)
        return;
    const UISF_Channel* record = m_model.RowRecord(0);
    const long long m = record ? m_model.MidnightOfCurrentDay(record->channel) : LocalMidnight({});
    const long long s = m_model.commonCursor - m;
    const int x = static_cast<int>(s * (m_model.dayVirtualWidth / 24.0) / 3600 - m_model.dayOffset);
    const tagRECT& name = m_model.nameColumn;
    painter.setPen(Qt::white);
    painter.drawLine(m_model.timeArea.left + x, name.top, m_model.timeArea.left + x, name.bottom);
    PaintCursorLabel(painter, x, ToQRect(name), static_cast<int>(s), kLabelBox, false);
}

void SFQtPlayProgressPanel::PaintCutMarks(QPainter& painter, long long base, int virtualWidth, long long divisor,
                                         int offset, const QColor& edge) const
{
    if (!m_model.cutMarksOn || divisor <= 0)
        return;
    int x0 = static_cast<int>((m_model.cutMarks[0] - base) * virtualWidth / divisor - offset);
    int x1 = static_cast<int>((m_model.cutMarks[1] - base) * virtualWidth / divisor - offset);
    if (x0 > x1)
        std::swap(x0, x1);
    const tagRECT& area = m_model.timeArea;
    const QRect r(QPoint(area.left + x0, m_model.nameColumn.top), QPoint(area.left + x1 - 1, m_model.nameColumn.bottom));
    if (!r.intersects(TimeAreaRect()))
        return;
    painter.fillRect(r, kLabelBox);
    painter.setPen(QPen(edge, 2));
    painter.drawLine(r.left(), r.top(), r.left(), r.bottom());
    painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

void SFQtPlayProgressPanel::PaintDayView(QPainter& painter) const
{
    PaintRows(painter);
    PaintArrows(painter);
    painter.setClipRect(TimeAreaRect());
    QFont font = painter.font();
    font.setPixelSize(9);
    painter.setFont(font);
    PaintScale(painter);
    for (int row = 0; row < 4; ++row)
        if (m_model.RowRecord(row))
            PaintSegments(painter, row);
    PaintCommonCursor(painter);
    const UISF_Channel* first = m_model.RowRecord(0);
    const long long m = first ? m_model.MidnightOfCurrentDay(first->channel) : LocalMidnight({});
    PaintCutMarks(painter, m, m_model.dayVirtualWidth, 86400, m_model.dayOffset, Qt::white);
}

void SFQtPlayProgressPanel::PaintSingleView(QPainter& painter) const
{
    const UISF_Channel* record = m_model.Record(m_model.singleChannel);
    const tagRECT& area = m_model.timeArea;
    const tagRECT& name = m_model.nameColumn;
    if (record) {
        painter.setPen(Qt::white);
        painter.drawText(QRect(QPoint(LabelLeft(), name.top), QPoint(name.right, name.bottom)),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdWString(record->name));
    }
    painter.setClipRect(TimeAreaRect());
    painter.fillRect(TimeAreaRect(), kSingleBackdrop);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    painter.setPen(Qt::darkGray);
    for (int i = 0; i < 100; ++i) {
        const int x = area.left + i * m_model.visibleWidth / 100;
        const bool major = i % 10 == 0;
        painter.drawLine(x, name.top, x, name.top + (major ? 13 : 5));
        auto label = [&](const QString& text, int shift) {
            const int w = metrics.horizontalAdvance(text);
            painter.drawText(QRect(x - w / 2 + shift, name.top + 14, w, 15), Qt::AlignCenter, text);
        };
        if (major)
            label(QStringLiteral("%1%").arg(i), i == 0 ? metrics.horizontalAdvance(QStringLiteral("0%")) / 2 + 2 : 0);
        if (i == 99)
            label(QStringLiteral("100%"), -8);
    }
    if (!record)
        return;
    auto cursor = m_model.cursors.find(record->channel);
    const UISF_TimeSegment* segment = cursor == m_model.cursors.end() ? nullptr : CTimeLineModel::SegmentAt(*record, cursor->second);
    if (segment) {
        const int c = std::max(cursor->second, segment->start);
        const int x = static_cast<int>(static_cast<double>(c - segment->start) / (segment->end - segment->start) *
                                       m_model.visibleWidth);
        painter.setPen(QPen(Qt::darkGray, 2));
        painter.drawLine(area.left + x, name.top, area.left + x, name.top + area.bottom - area.top);
        PaintCursorLabel(painter, x, ToQRect(name), c - segment->start, kSingleLabelBox, false);
    }
    const long long duration = CTimeLineModel::Duration(*record);
    const long long base = segment ? segment->start : 0;
    PaintCutMarks(painter, base, m_model.singleVirtualWidth, duration, m_model.singleOffset, Qt::darkGray);
}
