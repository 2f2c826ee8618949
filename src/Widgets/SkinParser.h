#pragma once

// Parsers of the text forms of skin values.

#include <QColor>
#include <QString>

#include "Platform/Win32/Win32Types.h"

// "x,y,w,h" -> (x, y, x + w, y + h); empty text gives all 0.
tagRECT SFQTParseSkinRect(const char* text);
tagRECT SFQTParseSkinRectW(const wchar_t* text);
// "x,y,w,h" -> (x, y, x + w - 1, y + h - 1); empty text gives (0, 0, -1, -1).
tagRECT SFQTParseSkinRectInclusive(const char* text);
tagRECT SFQTParseSkinRectInclusiveW(const wchar_t* text);
// "a,b" -> (a, b); anything but exactly two parts gives (0, 0).
tagPOINT SFQTParseSkinPoint(const char* text);
tagPOINT SFQTParseSkinPointW(const wchar_t* text);
// Skin lengths and positions far beyond any screen are cut to +-this, so that
// sums of a few of them and a window size never overflow.
constexpr long kSFQTSkinValueLimit = 1L << 20;
int SFQTLimitSkinValue(long value);

// "RRGGBB" -> opaque colour; a text whose length is not 6 gives opaque black.
QColor SFQTParseSkinColor(const char* text);
QColor SFQTParseSkinColorW(const wchar_t* text);
// 0x00BBGGRR -> opaque colour.
QColor SFQTColorFromColorRef(COLORREF color);

void SFQTCopyRect(tagRECT& destination, const tagRECT& source);
tagRECT* SFQTCopyRect(tagRECT* destination, const tagRECT* source);

// Wide text to a Qt string (through UTF-8); null gives an empty string.
QString SFQTStringFromWide(const wchar_t* text);
