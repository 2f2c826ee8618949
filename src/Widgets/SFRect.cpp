#include "Widgets/SFRect.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

int SFMulDiv(int value, int num, int den)
{
    if (den == 0)
        return -1;
    const std::int64_t product = std::int64_t(value) * num;
    const bool negative = (product < 0) != (den < 0);
    const std::uint64_t absProduct = product < 0 ? std::uint64_t(-product) : std::uint64_t(product);
    const std::uint64_t absDen = den < 0 ? std::uint64_t(-std::int64_t(den)) : std::uint64_t(den);
    const std::uint64_t rounded = (absProduct + absDen / 2) / absDen;
    // The result does not fit; the negative side holds one more.
    const std::uint64_t limit = std::uint64_t(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
    if (rounded > limit)
        return -1;
    return static_cast<int>(negative ? -static_cast<std::int64_t>(rounded) : static_cast<std::int64_t>(rounded));
}

CSFPoint CSFSize::operator+(tagPOINT point) const { return CSFPoint(point.x + cx, point.y + cy); }
CSFPoint CSFSize::operator-(tagPOINT point) const { return CSFPoint(point.x - cx, point.y - cy); }
CSFRect CSFSize::operator+(const tagRECT* rect) const { return CSFRect(rect) + *this; }
CSFRect CSFSize::operator-(const tagRECT* rect) const { return CSFRect(rect) - *this; }

CSFSize CSFPoint::operator-(tagPOINT pt) const { return CSFSize(x - pt.x, y - pt.y); }
CSFRect CSFPoint::operator+(const tagRECT* rect) const { return CSFRect(rect) + static_cast<tagPOINT>(*this); }
CSFRect CSFPoint::operator-(const tagRECT* rect) const { return CSFRect(rect) - static_cast<tagPOINT>(*this); }

void CSFRect::SwapLeftRight(tagRECT* rect)
{
    std::swap(rect->left, rect->right);
}

int CSFRect::EqualRect(const tagRECT* rect) const
{
    return left == rect->left && top == rect->top && right == rect->right && bottom == rect->bottom;
}

int CSFRect::IntersectRect(const tagRECT* a, const tagRECT* b)
{
    const CSFRect first(a), second(b);
    CSFRect overlap(std::max(a->left, b->left), std::max(a->top, b->top),
                    std::min(a->right, b->right), std::min(a->bottom, b->bottom));
    if (first.IsRectEmpty() || second.IsRectEmpty() || overlap.IsRectEmpty()) {
        SetRectEmpty();
        return 0;
    }
    CopyRect(&overlap);
    return 1;
}

int CSFRect::UnionRect(const tagRECT* a, const tagRECT* b)
{
    const CSFRect first(a), second(b);
    if (first.IsRectEmpty() && second.IsRectEmpty()) {
        SetRectEmpty();
        return 0;
    }
    if (first.IsRectEmpty())
        CopyRect(&second);
    else if (second.IsRectEmpty())
        CopyRect(&first);
    else
        SetRect(std::min(a->left, b->left), std::min(a->top, b->top),
                std::max(a->right, b->right), std::max(a->bottom, b->bottom));
    return 1;
}

int CSFRect::SubtractRect(const tagRECT* a, const tagRECT* b)
{
    CSFRect result(a);
    CSFRect overlap;
    if (overlap.IntersectRect(a, b)) {
        const bool fullWidth = overlap.left == result.left && overlap.right == result.right;
        const bool fullHeight = overlap.top == result.top && overlap.bottom == result.bottom;
        if (fullWidth && fullHeight) {
            result.SetRectEmpty();
        } else if (fullWidth) {
            if (overlap.top == result.top)
                result.top = overlap.bottom;
            else if (overlap.bottom == result.bottom)
                result.bottom = overlap.top;
        } else if (fullHeight) {
            if (overlap.left == result.left)
                result.left = overlap.right;
            else if (overlap.right == result.right)
                result.right = overlap.left;
        }
    }
    if (result.IsRectEmpty()) {
        SetRectEmpty();
        return 0;
    }
    CopyRect(&result);
    return 1;
}

void CSFRect::operator&=(const tagRECT& rect)
{
    const CSFRect self(*this);
    IntersectRect(&self, &rect);
}

void CSFRect::operator|=(const tagRECT& rect)
{
    const CSFRect self(*this);
    UnionRect(&self, &rect);
}

CSFRect CSFRect::operator&(const tagRECT& rect) const
{
    CSFRect result;
    result.IntersectRect(this, &rect);
    return result;
}

CSFRect CSFRect::operator|(const tagRECT& rect) const
{
    CSFRect result;
    result.UnionRect(this, &rect);
    return result;
}

void CSFRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

CSFRect CSFRect::MulDiv(int num, int den) const
{
    return CSFRect(SFMulDiv(left, num, den), SFMulDiv(top, num, den),
                   SFMulDiv(right, num, den), SFMulDiv(bottom, num, den));
}
