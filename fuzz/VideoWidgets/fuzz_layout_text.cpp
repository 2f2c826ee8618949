// Feeds arbitrary text to the grid layout model as a layout text, then
// drives what a grid does with an accepted one.
#include <cstddef>
#include <cstdint>
#include <string>

#include "VideoWidgets/QTVideoWindowLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CQTVideoWindowLayout layout(1, 1, 400, 300);
    if (!layout.ParseLayout(text.c_str()))
        return 0;
    if (!layout.CalcCellRects(640, 480))
        layout.RebuildCells();
    for (int y = 0; y < 480; y += 37)
        for (int x = 0; x < 640; x += 41)
            if (layout.HitTestSplitter(x, y))
                layout.EndSplitterDrag(x, y);
    layout.SetRows(1 + static_cast<int>(size % 8));
    layout.SetColumns(1 + static_cast<int>(size / 8 % 8));
    std::string written;
    layout.BuildLayout(written);
    CQTVideoWindowLayout again(2, 2, 400, 300);
    again.ParseLayout(written.c_str());
    again.CopyFrom(layout);
    return 0;
}
