#include "VideoWidgets/QTVideoWindowLayout.h"

#include <algorithm>
#include <vector>

#include "VideoWidgets/LayoutText.h"

CQTVideoWindowLayout::CQTVideoWindowLayout(int rows, int columns, int width, int height)
    : m_rows(rows), m_columns(columns), m_cellCount(rows * columns), m_width(width), m_height(height)
{
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c + 1 < columns; ++c)
            m_bars[VerticalBarId(r, c)] = {1, VerticalBarRect(r, c, rows, columns, width, height)};
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c < columns; ++c)
            m_bars[HorizontalBarId(r, c)] = {1, HorizontalBarRect(r, c, rows, columns, width, height)};
    RebuildCells();
}

tagRECT CQTVideoWindowLayout::PositionRect(int row, int column) const
{
    const int cw = m_width / m_columns, ch = m_height / m_rows;
    tagRECT rect{column * cw, row * ch, (column + 1) * cw - 1, (row + 1) * ch - 1};
    if (column == m_columns - 1)
        rect.right += m_width % m_columns;
    if (row == m_rows - 1)
        rect.bottom += m_height % m_rows;
    return rect;
}

tagRECT CQTVideoWindowLayout::VerticalBarRect(int row, int column, int rows, int columns, int w, int h) const
{
    const int cw = w / columns, ch = h / rows;
    tagRECT rect{(column + 1) * cw - 5, row * ch, (column + 1) * cw + 4, (row + 1) * ch - 1};
    if (row == rows - 1)
        rect.bottom += h % rows;
    return rect;
}

tagRECT CQTVideoWindowLayout::HorizontalBarRect(int row, int column, int rows, int columns, int w, int h) const
{
    const int cw = w / columns, ch = h / rows;
    tagRECT rect{column * cw, (row + 1) * ch - 5, (column + 1) * cw - 1, (row + 1) * ch + 4};
    if (column == columns - 1)
        rect.right += w % columns;
    return rect;
}

int CQTVideoWindowLayout::ParseLayout(const char* text)
{
    LayoutText parsed;
    if (!ParseLayoutText(text, kMaxGrid, parsed))
        return 0;
    m_rows = parsed.rows;
    m_columns = parsed.columns;
    m_cellCount = parsed.count;
    m_width = parsed.width;
    m_height = parsed.height;
    m_bars.clear();
    m_cells.clear();
    for (const auto& bar : parsed.bars)
        m_bars[bar.id] = {bar.enabled, bar.rect};
    int number = 0;
    for (const auto& cell : parsed.cells)
        m_cells[number++] = cell;
    return 1;
}

int CQTVideoWindowLayout::BuildLayout(std::string& out) const
{
    out = std::to_string(m_rows) + "/" + std::to_string(m_columns) + "/" + std::to_string(m_cellCount) + "/" +
          std::to_string(m_width) + ":" + std::to_string(m_height) + "/";
    auto rectText = [](const tagRECT& r) {
        return std::to_string(r.left) + ":" + std::to_string(r.top) + ":" + std::to_string(r.right) + ":" +
               std::to_string(r.bottom);
    };
    bool first = true;
    for (const auto& [id, bar] : m_bars) {
        out += first ? "" : "-";
        out += std::to_string(id) + ":" + std::to_string(bar.enabled) + ":" + rectText(bar.rect);
        first = false;
    }
    out += "/";
    first = true;
    for (const auto& [number, cell] : m_cells) {
        out += first ? "" : "-";
        out += rectText(cell);
        first = false;
    }
    return 1;
}

void CQTVideoWindowLayout::Regrid(int rows, int columns)
{
    const int rowSpan = std::max(rows, m_rows), columnSpan = std::max(columns, m_columns);
    for (int r = 0; r < rowSpan; ++r) {
        for (int c = 0; c < columnSpan; ++c) {
            const int v = VerticalBarId(r, c), h = HorizontalBarId(r, c);
            if (r < rows && c < columns - 1) {
                auto [it, added] = m_bars.try_emplace(v);
                it->second.rect = VerticalBarRect(r, c, rows, columns, m_width, m_height);
                if (added)
                    it->second.enabled = 1;
            } else {
                m_bars.erase(v);
            }
            if (r < rows - 1 && c < columns) {
                auto [it, added] = m_bars.try_emplace(h);
                it->second.rect = HorizontalBarRect(r, c, rows, columns, m_width, m_height);
                if (added)
                    it->second.enabled = 1;
            } else {
                m_bars.erase(h);
            }
        }
    }
    m_rows = rows;
    m_columns = columns;
    RebuildCells();
}

int CQTVideoWindowLayout::SetRows(int rows)
{
    if (rows == m_rows || rows < 1 || rows > kMaxGrid)
        return 0;
    Regrid(rows, m_columns);
    return 1;
}

int CQTVideoWindowLayout::SetColumns(int columns)
{
    if (columns == m_columns || columns < 1 || columns > kMaxGrid)
        return 0;
    Regrid(m_rows, columns);
    return 1;
}

int CQTVideoWindowLayout::CalcCellRects(int width, int height)
{
    if (width == m_width && height == m_height)
        return 0;
    if (width < 1 || height < 1)
        return 0;
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            if (auto it = m_bars.find(VerticalBarId(r, c)); it != m_bars.end())
                it->second.rect = VerticalBarRect(r, c, m_rows, m_columns, width, height);
            if (auto it = m_bars.find(HorizontalBarId(r, c)); it != m_bars.end())
                it->second.rect = HorizontalBarRect(r, c, m_rows, m_columns, width, height);
        }
    }
    m_width = width;
    m_height = height;
    RebuildCells();
    return 1;
}

void CQTVideoWindowLayout::CopyFrom(const CQTVideoWindowLayout& other)
{
    const int width = m_width, height = m_height;
    m_rows = other.m_rows;
    m_columns = other.m_columns;
    m_cellCount = other.m_cellCount;
    m_width = other.m_width;
    m_height = other.m_height;
    m_selection.clear();
    m_bars = other.m_bars;
    if (!CalcCellRects(width, height))
        RebuildCells();
}

SplitterBar& CQTVideoWindowLayout::BarForRebuild(int id)
{
    // A hand-written text may lack a bar: it then separates its neighbours.
    return m_bars.try_emplace(id, SplitterBar{1, {0, 0, -1, -1}}).first->second;
}

void CQTVideoWindowLayout::RebuildCells()
{
    const int count = m_rows * m_columns;
    std::vector<int> number(count, -1);
    int counter = 0;
    auto join = [&](int i, int j) {
        if (number[j] >= 0 && number[i] >= number[j])
            number[i] = number[j];
        else
            number[j] = number[i];
    };
    for (int i = 0; i < count; ++i) {
        const int r = i / m_columns, c = i % m_columns;
        if (number[i] < 0)
            number[i] = counter++;
        if (c < m_columns - 1 && BarForRebuild(VerticalBarId(r, c)).enabled == 0)
            join(i, i + 1);
        if (r < m_rows - 1 && BarForRebuild(HorizontalBarId(r, c)).enabled == 0)
            join(i, i + m_columns);
    }
    std::map<int, tagRECT> cells;
    for (int i = 0; i < count; ++i) {
        const tagRECT rect = PositionRect(i / m_columns, i % m_columns);
        auto [it, added] = cells.try_emplace(number[i], rect);
        if (!added) {
            it->second.right = rect.right;
            it->second.bottom = rect.bottom;
        }
    }
    // Numbers left unused by odd hand-written merges are closed up.
    m_cells.clear();
    int compact = 0;
    for (const auto& entry : cells)
        m_cells[compact++] = entry.second;
    m_cellCount = compact;
}

int CQTVideoWindowLayout::HitTestSplitter(int x, int y)
{
    m_selection.clear();
    // Horizontal bars have the lower ids, so they win where bars overlap.
    for (const auto& [id, bar] : m_bars) {
        if (x >= bar.rect.left && x <= bar.rect.right && y >= bar.rect.top && y <= bar.rect.bottom) {
            m_selection[id] = bar.rect;
            MoveSplitter(id, bar.enabled ? 1 : 0);
            return 1;
        }
    }
    return 0;
}

int CQTVideoWindowLayout::EndSplitterDrag(int, int)
{
    if (m_selection.empty())
        return 0;
    for (const auto& entry : m_selection)
        if (auto it = m_bars.find(entry.first); it != m_bars.end())
            it->second.enabled = it->second.enabled == 1 ? 0 : 1;
    RebuildCells();
    return 1;
}

bool CQTVideoWindowLayout::IsEnabled(int id) const
{
    auto it = m_bars.find(id);
    return it != m_bars.end() && it->second.enabled != 0;
}

bool CQTVideoWindowLayout::IsOn(int id) const { return IsEnabled(id) && !Selected(id); }

bool CQTVideoWindowLayout::Select(int id)
{
    auto it = m_bars.find(id);
    if (it == m_bars.end())
        return false;
    m_selection[id] = it->second.rect;
    return true;
}

void CQTVideoWindowLayout::Junction(int a, int b, int d, int mode)
{
    if (mode == 0) {
        if (!IsEnabled(a) && !IsEnabled(b) && !IsEnabled(d) && !Selected(d) && Select(d))
            MoveSplitter(d, 0);
        return;
    }
    const bool onA = IsOn(a), onB = IsOn(b);
    if (onA && onB)
        return;
    if (onA || onB) {
        if (!Selected(d) && Select(d))
            MoveSplitter(d, 1);
        const int other = onA ? a : b;
        if (!Selected(other) && Select(other))
            MoveSplitter(other, 1);
        return;
    }
    if (IsOn(d) && Select(d))
        MoveSplitter(d, 1);
}

void CQTVideoWindowLayout::MoveSplitter(int id, int mode)
{
    const bool vertical = (id >> 16) != 0;
    const int r = (id >> 8) & 0xff, c = id & 0xff;
    if (vertical) {
        if (r >= 1)
            Junction(HorizontalBarId(r - 1, c), HorizontalBarId(r - 1, c + 1), VerticalBarId(r - 1, c), mode);
        if (r <= m_rows - 2)
            Junction(HorizontalBarId(r, c), HorizontalBarId(r, c + 1), VerticalBarId(r + 1, c), mode);
    } else {
        if (c >= 1)
            Junction(VerticalBarId(r, c - 1), VerticalBarId(r + 1, c - 1), HorizontalBarId(r, c - 1), mode);
        if (c <= m_columns - 2)
            Junction(VerticalBarId(r, c), VerticalBarId(r + 1, c), HorizontalBarId(r, c + 1), mode);
    }
}
