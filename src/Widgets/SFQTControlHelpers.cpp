#include "Widgets/SFQTControlHelpers.h"

#include <algorithm>

#include <sys/stat.h>

#include <QBitmap>
#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QRegularExpression>
#include <QWidget>

#include "Base/TextCodec.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFQTSkinImageCache.h"
#include "Widgets/SkinParser.h"

QRect SFQTRectFromExclusive(const tagRECT& rect)
{
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void SFQTPlaceControl(QWidget* control, void* parent, const tagRECT& rect)
{
    control->setParent(static_cast<QWidget*>(parent));
    control->setGeometry(SFQTRectFromExclusive(rect));
}

void SFQTShowByStyle(QWidget* control, DWORD style)
{
    control->setVisible((style & WS_VISIBLE) != 0);
}

void SFQTLoadSkinImageIfNamed(QPixmap& image, const std::wstring& name)
{
    if (!name.empty())
        image = SFQTLoadSkinImage(name);
}

QPixmap SFQTLoadSkinImage(const std::wstring& name)
{
    return CSFQTSkinImageCache::Instance().Get(SFQTSkinFilePath(name.c_str()));
}

namespace {

// Present but no regular file (a FIFO, a device): reading it may block.
bool IsIrregularFile(const QString& path)
{
    struct stat entry {};
    return ::stat(QFile::encodeName(path).constData(), &entry) == 0 && !S_ISREG(entry.st_mode);
}

}  // namespace

QString SFQTStyleSheetImage(const std::wstring& name)
{
    const QString path = SFQTSkinFilePath(name.c_str());
    return IsIrregularFile(path) ? QStringLiteral("none") : "url(" + path + ")";
}

QString SFQTWithoutIrregularPictures(const QString& styleSheet)
{
    static const QRegularExpression url(QStringLiteral(R"(url\(\s*(["']?)(.*?)\1\s*\))"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString result;
    qsizetype copied = 0;
    for (QRegularExpressionMatchIterator it = url.globalMatch(styleSheet); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (!IsIrregularFile(match.captured(2)))
            continue;
        result += styleSheet.mid(copied, match.capturedStart() - copied) + QStringLiteral("none");
        copied = match.capturedEnd();
    }
    return copied == 0 ? styleSheet : result + styleSheet.mid(copied);
}

std::wstring SFQTWideFromString(const QString& text)
{
    return SF_SOFT_BASE::Utf8ToWide(text.toStdString());
}

QRegion SFQTDrawnRoundRect(int w, int h, int rx, int ry)
{
    // Corners wider than half the shape would make the outline cross itself,
    // which the rasteriser does not fill the same way twice.
    rx = std::min(rx, w / 2);
    ry = std::min(ry, h / 2);
    QBitmap mask(w, h);
    mask.fill(Qt::white);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(rx, 0);
    path.arcTo(QRectF(0, 0, 2 * rx, 2 * ry), 90, 90);
    path.lineTo(0, h - ry);
    path.arcTo(QRectF(0, h - 2 * ry, 2 * rx, 2 * ry), 180, 90);
    path.lineTo(w - rx, h);
    path.arcTo(QRectF(w - 2 * rx, h - 2 * ry, 2 * rx, 2 * ry), 270, 90);
    path.lineTo(w, ry);
    path.arcTo(QRectF(w - 2 * rx, 0, 2 * rx, 2 * ry), 0, 90);
    path.lineTo(rx, 0);
    painter.setPen(Qt::black);
    painter.setBrush(QBrush(Qt::black, Qt::SolidPattern));
    painter.drawPath(path);
    painter.end();
    return QRegion(mask);
}

QRegion SFQTRoundMaskRegion(int w, int h, int rx, int ry)
{
    if (w <= 0 || h <= 0)
        return QRegion();
    // Radii beyond any window are cut so that twice them still fits.
    rx = SFQTLimitSkinValue(rx);
    ry = SFQTLimitSkinValue(ry);
    // Beyond a box a little larger than a radius the edges are straight, so
    // the corners are cut from a small drawing: a whole window's bitmap costs
    // milliseconds.
    const int cornerW = rx + 2;
    const int cornerH = ry + 2;
    if (w < 2 * cornerW || h < 2 * cornerH)
        return SFQTDrawnRoundRect(w, h, rx, ry);
    const QRegion outside =
        QRegion(0, 0, 2 * cornerW, 2 * cornerH).subtracted(SFQTDrawnRoundRect(2 * cornerW, 2 * cornerH, rx, ry));
    const int right = w - 2 * cornerW;
    const int bottom = h - 2 * cornerH;
    QRegion region(0, 0, w, h);
    region -= outside.intersected(QRect(0, 0, cornerW, cornerH));
    region -= outside.intersected(QRect(cornerW, 0, cornerW, cornerH)).translated(right, 0);
    region -= outside.intersected(QRect(0, cornerH, cornerW, cornerH)).translated(0, bottom);
    region -= outside.intersected(QRect(cornerW, cornerH, cornerW, cornerH)).translated(right, bottom);
    return region;
}

void SFQTApplyRoundMask(QWidget* window, int rx, int ry)
{
    if (window->width() > 0 && window->height() > 0)
        window->setMask(SFQTRoundMaskRegion(window->width(), window->height(), rx, ry));
}
