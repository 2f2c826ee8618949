#pragma once

#include "Platform/Win32/Win32Types.h"

class CSFPoint;
class CSFRect;

// Integer extent; a CSFSize is usable wherever a tagSIZE is expected.
class CSFSize : public tagSIZE {
public:
    CSFSize() = default;
    CSFSize(int initCX, int initCY) { cx = initCX; cy = initCY; }
    CSFSize(tagSIZE size) { cx = size.cx; cy = size.cy; }
    CSFSize(tagPOINT pt) { cx = pt.x; cy = pt.y; }
    // Low word is cx, high word cy, each sign-extended from 16 bits.
    explicit CSFSize(unsigned long packed)
    {
        cx = static_cast<short>(packed & 0xFFFF);
        cy = static_cast<short>((packed >> 16) & 0xFFFF);
    }

    int operator==(tagSIZE size) const { return cx == size.cx && cy == size.cy; }
    int operator!=(tagSIZE size) const { return !(*this == size); }
    void operator+=(tagSIZE size) { cx += size.cx; cy += size.cy; }
    void operator-=(tagSIZE size) { cx -= size.cx; cy -= size.cy; }
    void SetSize(int newCX, int newCY) { cx = newCX; cy = newCY; }

    CSFSize operator+(tagSIZE size) const { return CSFSize(cx + size.cx, cy + size.cy); }
    CSFSize operator-(tagSIZE size) const { return CSFSize(cx - size.cx, cy - size.cy); }
    CSFSize operator-() const { return CSFSize(-cx, -cy); }
    CSFPoint operator+(tagPOINT point) const;
    CSFPoint operator-(tagPOINT point) const;
    CSFRect operator+(const tagRECT* rect) const;
    CSFRect operator-(const tagRECT* rect) const;
};
