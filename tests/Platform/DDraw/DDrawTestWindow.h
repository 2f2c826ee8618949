#pragma once

#include <vector>

#include <QImage>
#include <QPainter>

#include "Base/PlanarLayout.h"
#include "Platform/DDraw/DDrawRender.h"

// A window that records what the renderer presents.
class FakeWindow : public IDDrawWindow, public ISFVideoRenderCallback {
public:
    tagRECT GetScreenRect() const override { return rect; }
    tagSIZE GetClientSize() const override { return {rect.right - rect.left + 1, rect.bottom - rect.top + 1}; }
    void PresentBackBuffer(const QImage& image) override
    {
        presented = image.copy();
        ++presentCount;
    }
    void OnRenderDC(int, QPainter* painter) override
    {
        ++callbackCount;
        if (drawMark)
            painter->fillRect(0, 0, 2, 2, Qt::white);
    }

    tagRECT rect{100, 100, 163, 147};  // 64 x 48
    QImage presented;
    int presentCount = 0;
    int callbackCount = 0;
    bool drawMark = false;
};

// A planar 4:2:0 frame (Y, U, V) filled with one colour; optionally the
// right half with a second.
struct YuvFrame {
    YuvFrame(int w, int h, BYTE y, BYTE u, BYTE v)
        : width(w), height(h), bytes(SF_SOFT_BASE::PlanarLayout{w, h}.Size())
    {
        Fill(0, w, y, u, v);
    }
    void Fill(int fromX, int toX, BYTE y, BYTE u, BYTE v)
    {
        const int cw = Layout().ChromaWidth(), ch = Layout().ChromaHeight();
        for (int r = 0; r < height; ++r)
            for (int x = fromX; x < toX; ++x)
                bytes[r * width + x] = y;
        for (int r = 0; r < ch; ++r)
            for (int x = fromX / 2; x < (toX + 1) / 2; ++x)
                U()[r * cw + x] = u, V()[r * cw + x] = v;
    }
    BYTE* Y() { return bytes.data(); }
    SF_SOFT_BASE::PlanarLayout Layout() const { return {width, height}; }
    BYTE* U() { return bytes.data() + Layout().FirstChromaOffset(); }
    BYTE* V() { return bytes.data() + Layout().SecondChromaOffset(); }

    int width;
    int height;
    std::vector<BYTE> bytes;
};

// Limited-range BT.601 red and blue.
inline YuvFrame RedFrame(int w, int h) { return YuvFrame(w, h, 81, 90, 240); }
constexpr BYTE kBlueY = 41, kBlueU = 240, kBlueV = 110;
