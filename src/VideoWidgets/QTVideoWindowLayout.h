#pragma once

#include <map>
#include <string>

#include "Platform/Win32/Win32Types.h"
#include "Widgets/WidgetTypes.h"

// One splitter bar between two neighbouring grid positions.
struct SplitterBar {
    int enabled = 1;  // 0: both sides belong to the same cell
    tagRECT rect{0, 0, -1, -1};
};

// Geometry model of a video grid: rows x columns positions on a canvas,
// bars between neighbours, and cells formed by merging across disabled bars.
// Bar id: orientation (0 below, 1 right of) * 65536 + row * 256 + column.
class CQTVideoWindowLayout {
public:
    static constexpr int kMaxGrid = 8;

    CQTVideoWindowLayout(int rows, int columns, int width, int height);
    virtual ~CQTVideoWindowLayout() = default;

    // 1 when the descriptor was taken; 0 (layout unchanged) when malformed.
    int ParseLayout(const char* text);
    int BuildLayout(std::string& out) const;
    int SetRows(int rows);
    int SetColumns(int columns);
    int CalcCellRects(int width, int height);
    void CopyFrom(const CQTVideoWindowLayout& other);
    void RebuildCells();
    int HitTestSplitter(int x, int y);
    int EndSplitterDrag(int x, int y);
    void MoveSplitter(int id, int mode);

    static int HorizontalBarId(int row, int column) { return row * 256 + column; }
    static int VerticalBarId(int row, int column) { return 65536 + row * 256 + column; }

    int m_rows = 1;
    int m_columns = 1;
    int m_cellCount = 1;
    int m_width = 400;
    int m_height = 300;
    LAYOUT_TYPE m_type = LAYOUT_1;
    std::map<int, SplitterBar> m_bars;
    std::map<int, tagRECT> m_cells;
    std::map<int, tagRECT> m_selection;

private:
    tagRECT PositionRect(int row, int column) const;
    tagRECT VerticalBarRect(int row, int column, int rows, int columns, int w, int h) const;
    tagRECT HorizontalBarRect(int row, int column, int rows, int columns, int w, int h) const;
    void Regrid(int rows, int columns);
    bool IsEnabled(int id) const;
    bool IsOn(int id) const;
    bool Select(int id);
    bool Selected(int id) const { return m_selection.count(id) != 0; }
    SplitterBar& BarForRebuild(int id);
    void Junction(int a, int b, int d, int mode);
};
