#include "VideoWidgets/LayoutText.h"

#include <string>
#include <string_view>

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

// A non-negative decimal of at most nine digits, blanks around it allowed.
bool ReadNumber(std::string_view text, int& value)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty() || text.size() > 9)
        return false;
    int result = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return false;
        result = result * 10 + (ch - '0');
    }
    value = result;
    return true;
}

bool ReadNumbers(std::string_view item, size_t count, int* values)
{
    const auto fields = Split(item, ':');
    if (fields.size() != count)
        return false;
    for (size_t i = 0; i < count; ++i)
        if (!ReadNumber(fields[i], values[i]))
            return false;
    return true;
}

bool IsBlankText(std::string_view text)
{
    for (char ch : text)
        if (!IsBlank(ch))
            return false;
    return true;
}

bool ReadBars(std::string_view field, std::vector<LayoutText::Bar>& bars)
{
    if (field.empty())
        return true;
    for (auto item : Split(field, '-')) {
        int v[6];
        if (!ReadNumbers(item, 6, v) || v[1] > 1)
            return false;
        bars.push_back({v[0], v[1], {v[2], v[3], v[4], v[5]}});
    }
    return true;
}

bool ReadCells(std::string_view field, std::vector<tagRECT>& cells)
{
    if (IsBlankText(field))
        return true;
    for (auto item : Split(field, '-')) {
        int v[4];
        if (!ReadNumbers(item, 4, v))
            return false;
        cells.push_back({v[0], v[1], v[2], v[3]});
    }
    return true;
}

}  // namespace

bool ParseLayoutText(const char* text, int maxGrid, LayoutText& out)
{
    if (text == nullptr)
        return false;
    const auto parts = Split(text, '/');
    if (parts.size() != 6)
        return false;
    LayoutText parsed;
    int canvas[2];
    if (!ReadNumber(parts[0], parsed.rows) || !ReadNumber(parts[1], parsed.columns) ||
        !ReadNumber(parts[2], parsed.count) || !ReadNumbers(parts[3], 2, canvas))
        return false;
    parsed.width = canvas[0];
    parsed.height = canvas[1];
    if (parsed.rows < 1 || parsed.rows > maxGrid || parsed.columns < 1 || parsed.columns > maxGrid ||
        parsed.width < 1 || parsed.height < 1)
        return false;
    if (!ReadBars(parts[4], parsed.bars) || !ReadCells(parts[5], parsed.cells))
        return false;
    out = std::move(parsed);
    return true;
}
