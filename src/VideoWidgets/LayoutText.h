#pragma once

#include <vector>

#include "Platform/Win32/Win32Types.h"

// The six fields of a grid layout text, checked field by field.
struct LayoutText {
    struct Bar {
        int id = 0;
        int enabled = 1;
        tagRECT rect{0, 0, -1, -1};
    };
    int rows = 0;
    int columns = 0;
    int count = 0;
    int width = 0;
    int height = 0;
    std::vector<Bar> bars;
    std::vector<tagRECT> cells;
};

// Reads "rows/columns/count/W:H/bars/cells". False for anything but six
// fields, 1 <= rows, columns <= maxGrid, a positive canvas, and bar and cell
// items with all their decimal fields (white space around a number is
// allowed, so a line end read from a file does no harm).
bool ParseLayoutText(const char* text, int maxGrid, LayoutText& out);
