#include "FileIndex/NaturalOrder.h"

#include <cwctype>

namespace {

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// Compares the digit runs starting at i and j by value and moves past them:
// <0, 0 or >0.
int CompareNumbers(const std::wstring& a, std::size_t& i, const std::wstring& b, std::size_t& j)
{
    while (i < a.size() && a[i] == L'0')
        ++i;
    while (j < b.size() && b[j] == L'0')
        ++j;
    const std::size_t startA = i;
    const std::size_t startB = j;
    while (i < a.size() && IsDigit(a[i]))
        ++i;
    while (j < b.size() && IsDigit(b[j]))
        ++j;
    if (i - startA != j - startB)
        return i - startA < j - startB ? -1 : 1;
    return a.compare(startA, i - startA, b, startB, j - startB);
}

}  // namespace

bool NaturalLess(const std::wstring& a, const std::wstring& b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            if (const int order = CompareNumbers(a, i, b, j); order != 0)
                return order < 0;
            continue;
        }
        const wint_t left = std::towlower(a[i]);
        const wint_t right = std::towlower(b[j]);
        if (left != right)
            return left < right;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return j < b.size();
    return a < b;
}
