#include "KvxWriter/TestPattern.h"

#include <cstdio>
#include <ctime>

extern "C" {
#include <libavutil/frame.h>
}

namespace KVX_WRITER {

namespace {

// 5x7 glyphs, one byte per row, bit 4 the leftmost column.
const std::uint8_t* Glyph(char c)
{
    static const std::uint8_t digits[10][7] = {
        {14, 17, 19, 21, 25, 17, 14}, {4, 12, 4, 4, 4, 4, 14},     {14, 17, 1, 2, 4, 8, 31},
        {31, 2, 4, 2, 1, 17, 14},     {2, 6, 10, 18, 31, 2, 2},    {31, 16, 30, 1, 1, 17, 14},
        {6, 8, 16, 30, 17, 17, 14},   {31, 1, 2, 4, 8, 8, 8},      {14, 17, 17, 14, 17, 17, 14},
        {14, 17, 17, 15, 1, 2, 12}};
    static const std::uint8_t dash[7] = {0, 0, 0, 31, 0, 0, 0};
    static const std::uint8_t colon[7] = {0, 12, 12, 0, 12, 12, 0};
    static const std::uint8_t dot[7] = {0, 0, 0, 0, 0, 12, 12};
    static const std::uint8_t blank[7] = {0, 0, 0, 0, 0, 0, 0};
    if (c >= '0' && c <= '9') return digits[c - '0'];
    if (c == '-') return dash;
    if (c == ':') return colon;
    if (c == '.') return dot;
    return blank;
}

void FillLuma(AVFrame* f, int x0, int y0, int w, int h, std::uint8_t value)
{
    for (int y = std::max(0, y0); y < std::min(f->height, y0 + h); ++y)
        for (int x = std::max(0, x0); x < std::min(f->width, x0 + w); ++x)
            f->data[0][y * f->linesize[0] + x] = value;
}

}  // namespace

void CTestPattern::BoxAt(std::int64_t frameIndex, int width, int height, int box[4])
{
    const int size = std::max(8, height / 6);
    const int rangeX = std::max(1, width - size), rangeY = std::max(1, height - size);
    const int px = static_cast<int>((frameIndex * 7) % (2 * rangeX));
    const int py = static_cast<int>((frameIndex * 5) % (2 * rangeY));
    box[0] = px < rangeX ? px : 2 * rangeX - px;
    box[1] = py < rangeY ? py : 2 * rangeY - py;
    box[2] = size;
    box[3] = size;
}

void CTestPattern::DrawText(AVFrame* f, const char* text, int x, int y, int scale)
{
    for (int i = 0; text[i]; ++i) {
        const std::uint8_t* rows = Glyph(text[i]);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c)
                if (rows[r] & (16 >> c))
                    FillLuma(f, x + (i * 6 + c) * scale, y + r * scale, scale, scale, 235);
    }
}

void CTestPattern::Paint(AVFrame* f, std::int64_t frameIndex, std::int64_t utcMs)
{
    const int shift = static_cast<int>(frameIndex * 4);
    for (int y = 0; y < f->height; ++y)
        for (int x = 0; x < f->width; ++x)
            f->data[0][y * f->linesize[0] + x] = static_cast<std::uint8_t>(32 + ((x + y + shift) & 127));
    for (int y = 0; y < f->height / 2; ++y)
        for (int x = 0; x < f->width / 2; ++x) {
            f->data[1][y * f->linesize[1] + x] = static_cast<std::uint8_t>(128 + ((x - shift) & 63) - 32);
            f->data[2][y * f->linesize[2] + x] = static_cast<std::uint8_t>(128 + ((y + shift) & 63) - 32);
        }
    int box[4];
    BoxAt(frameIndex, f->width, f->height, box);
    FillLuma(f, box[0], box[1], box[2], box[3], 220);

    const std::time_t seconds = static_cast<std::time_t>(utcMs / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(utcMs % 1000));
    const int scale = std::max(1, f->width / 240);
    FillLuma(f, 0, 0, (23 * 6 + 2) * scale, 9 * scale, 16);
    DrawText(f, text, scale, scale, scale);
}

}  // namespace KVX_WRITER
