#pragma once

// Pieces shared by the dialog and the main window.

#include <QRect>
#include <QSize>
#include <QString>

#include "Platform/Win32/Win32Types.h"

class QDropEvent;
class QWidget;
class ISFDialogEvent;
class CSFCustomEvent;

// Recorded size lowered to the available area of the window's screen, but
// not below the minimum size.
QSize SFQTClampSizeToDesktop(const QWidget* window, QSize recorded, QSize minimum);
// Top-left that centres `size` in the parent (or the available desktop).
QPoint SFQTCenterPosition(const QWidget* window, QSize size);
// Rectangles of the Win32 form with right and bottom as the last pixel.
tagRECT SFQTInclusiveRect(const QRect& rect);
// Window rectangle from a rectangle whose right and bottom lie inside.
QRect SFQTRectFromInclusive(const tagRECT& rect);
// The first URL of a drop as a local path; empty when none.
QString SFQTFirstDroppedPath(const QDropEvent* event);
// Passes a dropped file to the handler; false when nothing was passed.
bool SFQTDeliverDrop(ISFDialogEvent* handler, const QDropEvent* event);
void SFQTScreenToClient(const QWidget* window, tagPOINT* point);
void SFQTScreenToClient(const QWidget* window, tagRECT* rect);
tagRECT SFQTGlobalWindowRect(const QWidget* window);
// The picture of the file, read without blocking on a FIFO, as the window's
// and the application's icon.
void SFQTSetWindowIcon(QWidget* window, const QString& path);
