#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFPoint.h"
#include "Widgets/SFSize.h"

// value * num / den rounded to nearest, halves away from zero; -1 when den
// is 0 or the result does not fit an int.
int SFMulDiv(int value, int num, int den);

// Integer rectangle with exclusive right and bottom; usable wherever a
// tagRECT is expected (same layout, no added fields).
class CSFRect : public tagRECT {
public:
    CSFRect() = default;
    CSFRect(int l, int t, int r, int b) { SetRect(l, t, r, b); }
    CSFRect(const tagRECT& rect) { CopyRect(&rect); }
    CSFRect(const tagRECT* rect) { CopyRect(rect); }
    CSFRect(tagPOINT topLeft, tagPOINT bottomRight) { SetRect(topLeft, bottomRight); }
    CSFRect(tagPOINT point, tagSIZE size) { SetRect(point.x, point.y, point.x + size.cx, point.y + size.cy); }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSFSize Size() const { return CSFSize(Width(), Height()); }
    CSFPoint& TopLeft() { return *reinterpret_cast<CSFPoint*>(&left); }
    CSFPoint& BottomRight() { return *reinterpret_cast<CSFPoint*>(&right); }
    const CSFPoint& TopLeft() const { return *reinterpret_cast<const CSFPoint*>(&left); }
    const CSFPoint& BottomRight() const { return *reinterpret_cast<const CSFPoint*>(&right); }
    CSFPoint CenterPoint() const { return CSFPoint((left + right) / 2, (top + bottom) / 2); }
    void SwapLeftRight() { SwapLeftRight(this); }
    static void SwapLeftRight(tagRECT* rect);

    operator const tagRECT*() const { return this; }

    int IsRectEmpty() const { return right <= left || bottom <= top; }
    int IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }

    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRect(tagPOINT topLeft, tagPOINT bottomRight) { SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(const tagRECT* src) { SetRect(src->left, src->top, src->right, src->bottom); }
    CSFRect& operator=(const tagRECT& src) { CopyRect(&src); return *this; }

    int EqualRect(const tagRECT* rect) const;
    int operator==(const tagRECT& rect) const { return EqualRect(&rect); }
    int operator!=(const tagRECT& rect) const { return !EqualRect(&rect); }

    void InflateRect(int dx, int dy) { InflateRect(dx, dy, dx, dy); }
    void InflateRect(tagSIZE size) { InflateRect(size.cx, size.cy); }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void InflateRect(const tagRECT* rect) { InflateRect(rect->left, rect->top, rect->right, rect->bottom); }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void DeflateRect(tagSIZE size) { InflateRect(-size.cx, -size.cy); }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    void DeflateRect(const tagRECT* rect) { DeflateRect(rect->left, rect->top, rect->right, rect->bottom); }

    void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    void OffsetRect(tagPOINT pt) { OffsetRect(pt.x, pt.y); }
    void OffsetRect(tagSIZE size) { OffsetRect(size.cx, size.cy); }
    void MoveToX(int x) { right += x - left; left = x; }
    void MoveToY(int y) { bottom += y - top; top = y; }
    void MoveToXY(int x, int y) { MoveToX(x); MoveToY(y); }
    void MoveToXY(tagPOINT pt) { MoveToXY(pt.x, pt.y); }

    int PtInRect(tagPOINT pt) const { return left <= pt.x && pt.x < right && top <= pt.y && pt.y < bottom; }
    int IntersectRect(const tagRECT* a, const tagRECT* b);
    int UnionRect(const tagRECT* a, const tagRECT* b);
    int SubtractRect(const tagRECT* a, const tagRECT* b);

    void operator+=(tagPOINT pt) { OffsetRect(pt); }
    void operator-=(tagPOINT pt) { OffsetRect(-pt.x, -pt.y); }
    void operator+=(tagSIZE size) { OffsetRect(size); }
    void operator-=(tagSIZE size) { OffsetRect(-size.cx, -size.cy); }
    void operator+=(const tagRECT* rect) { InflateRect(rect); }
    void operator-=(const tagRECT* rect) { DeflateRect(rect); }
    void operator&=(const tagRECT& rect);
    void operator|=(const tagRECT& rect);

    CSFRect operator+(tagPOINT pt) const { CSFRect r(*this); r.OffsetRect(pt); return r; }
    CSFRect operator-(tagPOINT pt) const { CSFRect r(*this); r.OffsetRect(-pt.x, -pt.y); return r; }
    CSFRect operator+(tagSIZE size) const { CSFRect r(*this); r.OffsetRect(size); return r; }
    CSFRect operator-(tagSIZE size) const { CSFRect r(*this); r.OffsetRect(-size.cx, -size.cy); return r; }
    CSFRect operator+(const tagRECT* rect) const { CSFRect r(*this); r.InflateRect(rect); return r; }
    CSFRect operator-(const tagRECT* rect) const { CSFRect r(*this); r.DeflateRect(rect); return r; }
    CSFRect operator&(const tagRECT& rect) const;
    CSFRect operator|(const tagRECT& rect) const;

    void NormalizeRect();
    CSFRect MulDiv(int num, int den) const;
};

static_assert(sizeof(CSFRect) == sizeof(tagRECT), "CSFRect must stay a plain tagRECT");
static_assert(sizeof(CSFPoint) == sizeof(tagPOINT), "CSFPoint must stay a plain tagPOINT");
static_assert(sizeof(CSFSize) == sizeof(tagSIZE), "CSFSize must stay a plain tagSIZE");
