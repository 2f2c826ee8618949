#pragma once

#include "Platform/Win32/Win32Types.h"

class CSFSize;
class CSFRect;

// Integer position; a CSFPoint is usable wherever a tagPOINT is expected.
class CSFPoint : public tagPOINT {
public:
    CSFPoint() = default;
    CSFPoint(int initX, int initY) { x = initX; y = initY; }
    CSFPoint(tagPOINT pt) { x = pt.x; y = pt.y; }
    CSFPoint(tagSIZE size) { x = size.cx; y = size.cy; }
    // Low word is x, high word y, each sign-extended from 16 bits.
    explicit CSFPoint(long packed)
    {
        x = static_cast<short>(packed & 0xFFFF);
        y = static_cast<short>((packed >> 16) & 0xFFFF);
    }

    void Offset(int dx, int dy) { x += dx; y += dy; }
    void Offset(tagPOINT pt) { Offset(pt.x, pt.y); }
    void Offset(tagSIZE size) { Offset(size.cx, size.cy); }
    void SetPoint(int newX, int newY) { x = newX; y = newY; }

    int operator==(tagPOINT pt) const { return x == pt.x && y == pt.y; }
    int operator!=(tagPOINT pt) const { return !(*this == pt); }
    void operator+=(tagSIZE size) { Offset(size); }
    void operator-=(tagSIZE size) { Offset(-size.cx, -size.cy); }
    void operator+=(tagPOINT pt) { Offset(pt); }
    void operator-=(tagPOINT pt) { Offset(-pt.x, -pt.y); }

    CSFPoint operator+(tagSIZE size) const { return CSFPoint(x + size.cx, y + size.cy); }
    CSFPoint operator-(tagSIZE size) const { return CSFPoint(x - size.cx, y - size.cy); }
    CSFPoint operator-() const { return CSFPoint(-x, -y); }
    CSFPoint operator+(tagPOINT pt) const { return CSFPoint(x + pt.x, y + pt.y); }
    CSFSize operator-(tagPOINT pt) const;
    CSFRect operator+(const tagRECT* rect) const;
    CSFRect operator-(const tagRECT* rect) const;
};
