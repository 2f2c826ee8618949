#pragma once

// Small pieces every Qt control shares: placement, skin images and texts.

#include <string>

#include <QPixmap>
#include <QRect>
#include <QRegion>
#include <QString>

#include "Platform/Win32/Win32Types.h"

class QWidget;

// Rectangle whose right and bottom lie outside: width right - left.
QRect SFQTRectFromExclusive(const tagRECT& rect);
// Parent, exclusive geometry and, when asked, visibility by WS_VISIBLE.
void SFQTPlaceControl(QWidget* control, void* parent, const tagRECT& rect);
void SFQTShowByStyle(QWidget* control, DWORD style);
// Skin folder + name; an empty name leaves the image as it is.
void SFQTLoadSkinImageIfNamed(QPixmap& image, const std::wstring& name);
// Skin folder + name, loaded even when the name is empty (null on failure).
QPixmap SFQTLoadSkinImage(const std::wstring& name);
// A skin picture for a style sheet: "url(<skin folder + name>)", or "none"
// when the name is a FIFO, device or folder, which Qt would block on or
// search (Qt reads style sheet pictures itself).
QString SFQTStyleSheetImage(const std::wstring& name);
// The style sheet with each url() that names a present file that is no
// regular file (a FIFO the style engine would block on) made "none".
QString SFQTWithoutIrregularPictures(const QString& styleSheet);
// Qt text as a wide string.
std::wstring SFQTWideFromString(const QString& text);
// The pixels of a w x h rectangle with elliptic corners of radii rx, ry
// whose centres lie inside it, tested one by one over the whole shape.
QRegion SFQTDrawnRoundRect(int w, int h, int rx, int ry);
// The same pixels, the corners cut from a small shape (radii limited).
QRegion SFQTRoundMaskRegion(int w, int h, int rx, int ry);
// Masks the window to a rectangle with elliptic corners of radii rx, ry.
void SFQTApplyRoundMask(QWidget* window, int rx, int ry);
