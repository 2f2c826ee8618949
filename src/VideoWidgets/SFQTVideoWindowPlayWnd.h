#pragma once

#include <vector>

#include <boost/shared_ptr.hpp>

#include <QColor>
#include <QImage>
#include <QWidget>

#include "Common/YuvToRgb.h"
#include "Platform/DDraw/DDrawRender.h"
#include "Platform/DDraw/SurfaceScaler.h"
#include "Platform/Win32/Win32Types.h"

class CSFQTVideoWindow;
class CSFQTVideoWindowSubWnd;

// The drawing surface inside a grid cell: shows 32-bit frames (Qt path) or
// planar frames through its renderer, keeps the source rectangle of the
// digital zoom, and draws and reports the four cell buttons.
class CSFQTVideoWindowPlayWnd : public QWidget, public ISFVideoRenderCallback, public IDDrawWindow {
    Q_OBJECT
public:
    enum Button { ButtonNone = 0, ButtonClose = 1, ButtonSnap = 2, ButtonRecord = 3, ButtonProperty = 4 };

    CSFQTVideoWindowPlayWnd(const tagRECT& area, int proportionW, int proportionH);
    ~CSFQTVideoWindowPlayWnd() override;

    int Create(const wchar_t* title, CSFQTVideoWindowSubWnd* cell, int);
    void SetArea(int left, int top, int right, int bottom);
    void SetProportion(int w, int h);
    void SetBackgroundColor(const QColor& color);
    void SetVideoState(int on);
    void SetRecordState(int state);
    int RecordState() const { return m_recordState; }
    void SetOpacity(double opacity);
    void RestoreGeometry();
    void ShowImage(BYTE* data, int type, int w, int h);
    // A planar 4:2:0 picture, copied: Y, then U, then V.
    void ShowPlanar(const BYTE* data, int w, int h);
    // A planar 4:2:0 picture in a buffer `owner` keeps alive, kept (not
    // copied) until the next one; vFirst: Y, then V, then U (else U, V).
    void ShowPlanar(const BYTE* data, boost::shared_ptr<const void> owner, int w, int h, bool vFirst);
    int RenderOffScreen(BYTE* data, int w, int h, int port, int extra);
    int HitTestButton(int globalX, int globalY) const;
    void OnRenderDC(int, QPainter* painter) override;

    tagRECT GetScreenRect() const override;
    tagSIZE GetClientSize() const override { return {width(), height()}; }
    void PresentBackBuffer(const QImage& image) override;

    // Digital zoom by a rectangle in widget pixels, and by the wheel.
    void ApplyZoomRect(int left, int top, int right, int bottom);
    void WheelZoom(bool zoomOut, int x, int y);

    CDDrawRender& Renderer() { return m_render; }
    tagRECT SourceRect() const { return m_source; }
    int DisplayState() const { return m_displayState; }
    QRect FittedGeometry() const { return m_fitted; }
    QRect ButtonRect(int button) const;
    // The whole frame, full size.
    const QImage& FrameImage() const;
    // The frame as it is drawn: its source rectangle at the widget's size
    // (a planar frame only; else null).
    const QImage& ShownImage() const;
    const QImage& PresentedImage() const { return m_presented; }
    bool IsHovered() const { return m_hovered; }

    // Fits an area to a proportion (0:0 keeps it), both inclusive.
    static tagRECT FitArea(const tagRECT& area, int proportionW, int proportionH);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    CSFQTVideoWindow* Grid() const;
    void ApplyFit();
    // Marks the widget opaque while it paints every pixel itself, so that a
    // new frame repaints it alone, not the cell and grid beneath it.
    void UpdateOpaque();
    void ResetSourceIfNeeded(int w, int h);
    void TakeFrameSize(int type, int w, int h);
    void TakePlanar(const BYTE* data, int w, int h, bool vFirst);
    YuvPlanes PlanarPlanes() const;
    tagRECT ShownSource() const;
    void ConvertShown() const;
    QPoint ToFramePixels(const QPoint& point) const;
    void KeepSourceInsideFrame(tagRECT& rect) const;
    void DrawButtons(QPainter& painter) const;
    void ReportButton(int button);
    int SourceWidth() const { return m_source.right - m_source.left + 1; }
    int SourceHeight() const { return m_source.bottom - m_source.top + 1; }

    tagRECT m_area;
    int m_proportionW;
    int m_proportionH;
    QColor m_background{92, 101, 118};
    int m_videoOn = 0;
    bool m_zoomDrag = false;
    QPoint m_pressPoint;
    QRect m_fitted;
    bool m_hovered = false;
    int m_buttonUnderMouse = ButtonNone;
    int m_mouseState = 0;
    int m_recordState = 0;
    double m_opacity = 1.0;
    tagRECT m_selection{0, 0, -1, -1};
    tagRECT m_source{0, 0, -1, -1};
    bool m_sourceValid = false;
    QPoint m_pressFramePoint;
    CDDrawRender m_render;
    int m_displayState = 0;
    int m_frameW = 0;
    int m_frameH = 0;
    mutable QImage m_frame;
    // The last planar frame (Y, U, V); converted only where it is shown.
    std::vector<BYTE> m_planarCopy;
    boost::shared_ptr<const void> m_planarKept;
    const BYTE* m_planar = nullptr;
    bool m_planarOn = false;
    bool m_planarVFirst = false;
    mutable bool m_frameStale = false;
    mutable bool m_shownStale = false;
    mutable QImage m_shown;
    mutable CSurfaceScaler m_scaler{false};
    mutable tagRECT m_shownSource{0, 0, -1, -1};
    QImage m_presented;
    CSFQTVideoWindowSubWnd* m_cell = nullptr;
};
