#include "Widgets/SFQTControlHelpers.h"

#include <algorithm>
#include <vector>

#include <sys/stat.h>

#include <QFile>
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

namespace {

// Whether a pixel's centre, dx2, dy2 half pixels from a corner's centre,
// lies inside that corner's ellipse. The offsets are the same wherever the
// corner stands, so a corner gives the same pixels at any place.
bool InsideCornerEllipse(long dx2, long dy2, int rx, int ry)
{
    const double u = double(dx2) / (2.0 * rx);
    const double v = double(dy2) / (2.0 * ry);
    return u * u + v * v <= 1.0;
}

// The centre of the corner a pixel lies in along one axis, or -1 between
// the corners.
int CornerCentre(int at, int length, int radius)
{
    if (at < radius)
        return radius;
    if (at >= length - radius)
        return length - radius;
    return -1;
}

bool InsideRoundRect(int x, int y, int w, int h, int rx, int ry)
{
    const int cx = CornerCentre(x, w, rx);
    const int cy = CornerCentre(y, h, ry);
    if (cx < 0 || cy < 0)
        return true;
    return InsideCornerEllipse(2L * x + 1 - 2L * cx, 2L * y + 1 - 2L * cy, rx, ry);
}

}  // namespace

QRegion SFQTDrawnRoundRect(int w, int h, int rx, int ry)
{
    // Corners wider than half the shape would overlap.
    rx = std::min(rx, w / 2);
    ry = std::min(ry, h / 2);
    std::vector<QRect> rows;
    for (int y = 0; y < h; ++y) {
        int left = 0;
        while (left < w && !InsideRoundRect(left, y, w, h, rx, ry))
            ++left;
        int right = w;
        while (right > left && !InsideRoundRect(right - 1, y, w, h, rx, ry))
            --right;
        if (right > left)
            rows.emplace_back(left, y, right - left, 1);
    }
    QRegion region;
    region.setRects(rows.data(), int(rows.size()));
    return region;
}

QRegion SFQTRoundMaskRegion(int w, int h, int rx, int ry)
{
    if (w <= 0 || h <= 0)
        return QRegion();
    // Radii beyond any window are cut so that twice them still fits.
    rx = SFQTLimitSkinValue(rx);
    ry = SFQTLimitSkinValue(ry);
    // Beyond a box a little larger than a radius the edges are straight, so
    // the corners are cut from a small shape: testing a whole window's pixels
    // costs milliseconds.
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
