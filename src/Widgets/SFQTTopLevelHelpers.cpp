#include "Widgets/SFQTTopLevelHelpers.h"

#include <QDropEvent>
#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMimeData>
#include <QScreen>
#include <QUrl>
#include <QWidget>

#include <algorithm>

#include "Base/TextCodec.h"
#include "Widgets/SFDialogEvent.h"
#include "Widgets/SFQTSkinImageCache.h"

namespace {

QRect AvailableAreaOf(const QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

QSize SFQTClampSizeToDesktop(const QWidget* window, QSize recorded, QSize minimum)
{
    const QRect area = AvailableAreaOf(window);
    int w = recorded.width();
    int h = recorded.height();
    if (area.isValid()) {
        if (w > area.width())
            w = std::max(area.width(), minimum.width());
        if (h > area.height())
            h = std::max(area.height(), minimum.height());
    }
    return QSize(w, h);
}

QPoint SFQTCenterPosition(const QWidget* window, QSize size)
{
    QRect reference;
    if (const QWidget* parent = window->parentWidget()) {
        reference = parent->rect();
        if (window->windowFlags() & 0x3)
            reference.moveTopLeft(parent->mapToGlobal(QPoint(0, 0)));
    } else {
        reference = AvailableAreaOf(window);
    }
    if (size.width() <= reference.width() && size.height() <= reference.height())
        return reference.topLeft() + QPoint((reference.width() - size.width()) / 2,
                                            (reference.height() - size.height()) / 2);
    return reference.topLeft();
}

tagRECT SFQTInclusiveRect(const QRect& rect)
{
    return tagRECT{rect.left(), rect.top(), rect.right(), rect.bottom()};
}

QRect SFQTRectFromInclusive(const tagRECT& rect)
{
    return QRect(QPoint(rect.left, rect.top), QPoint(rect.right, rect.bottom));
}

QString SFQTFirstDroppedPath(const QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (!data || !data->hasUrls() || data->urls().isEmpty())
        return QString();
    return data->urls().first().toLocalFile();
}

bool SFQTDeliverDrop(ISFDialogEvent* handler, const QDropEvent* event)
{
    const QString path = SFQTFirstDroppedPath(event);
    if (!handler || path.isEmpty())
        return false;
    const std::wstring wide = SF_SOFT_BASE::Utf8ToWide(path.toStdString());
    handler->OnDlgFileDrop(wide.c_str());
    return true;
}

void SFQTScreenToClient(const QWidget* window, tagPOINT* point)
{
    if (!point)
        return;
    const QPoint local = window->mapFromGlobal(QPoint(point->x, point->y));
    *point = tagPOINT{local.x(), local.y()};
}

void SFQTScreenToClient(const QWidget* window, tagRECT* rect)
{
    if (!rect)
        return;
    const QPoint topLeft = window->mapFromGlobal(QPoint(rect->left, rect->top));
    const QPoint bottomRight = window->mapFromGlobal(QPoint(rect->right, rect->bottom));
    *rect = tagRECT{topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()};
}

tagRECT SFQTGlobalWindowRect(const QWidget* window)
{
    const QPoint topLeft = window->mapToGlobal(window->rect().topLeft());
    const QPoint bottomRight = window->mapToGlobal(window->rect().bottomRight());
    return tagRECT{topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()};
}

void SFQTSetWindowIcon(QWidget* window, const QString& path)
{
    const QIcon icon(CSFQTSkinImageCache::Instance().Get(path));
    window->setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
}
