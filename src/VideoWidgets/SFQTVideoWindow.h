#pragma once

#include <map>
#include <memory>

#include <QByteArray>
#include <QColor>
#include <QPixmap>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include "VideoWidgets/QTVideoWindowLayout.h"
#include "Widgets/SFVideoWindow.h"

class CSFQTVideoWindowSubWnd;

// The Qt video grid: one cell per possible slot, placed on the rectangles
// of the current layout; keeps the focus, exchanges cells by dragging,
// zooms a cell by double-click, routes frames to the cells' play windows
// and, in layout-edit mode, draws and toggles the splitter bars.
class CSFQTVideoWindow : public QWidget, public CSFVideoWindow {
    Q_OBJECT
public:
    enum ButtonImageId {
        ImgCloseNormal, ImgCloseHover, ImgClosePressed,
        ImgSnapNormal, ImgSnapHover, ImgSnapPressed,
        ImgPropertyNormal, ImgPropertyHover, ImgPropertyPressed,
        ImgRecordOn, ImgRecordOff, ImgCount
    };

    CSFQTVideoWindow(VIDEOWINDOWMODE mode, ISFVideoWindowEvent* handler, int maxRows, int maxColumns);
    ~CSFQTVideoWindow() override;

    int Create(const wchar_t* name, const tagRECT& rect, void* parent, UINT id) override;
    int SetSkin(ImageVideoWindowStyle* style) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override;
    VIDEOWINDOWMODE GetVideoWindowMode() override { return m_mode; }
    int SetRows(int rows) override;
    int SetColumns(int columns) override;
    void SetSubWinProportion(int w, int h) override;
    int GetLayout(char* buffer, int size) override;
    int SetDefaultLayout(LAYOUT_TYPE type, const char* custom) override;
    void* GetSubWinHandle(int index) override;
    int GetCurrentSubWinIndex() override;
    int GetCurrentSubWinID() override;
    int GetSubWinIDByIndex(int index) override;
    int GetSubWinIndexByID(int id) override;
    int GetCurrentSubWinCount() override { return GetCurrentSubWinCountConst(); }
    void SetSubWinVideoByIndex(int index, int on) override;
    void SetSubWinVideoByID(int id, int on) override;
    void SetDragMode(int on) override { m_dragMode = on; }
    void SetFrameZoomMode(int on) override { m_frameZoomMode = on; }
    int IsEnableFrameZoom() override { return m_frameZoomMode; }
    void GetFrameOSDRect(tagRECT& rect) override { rect = m_osdRect; }
    void SetSubWinCtrlsVisible(int on) override { m_ctrlsVisible = on; }
    void SetSubWinRecordState(int id, int state) override;
    void EableSubWinExchange(int on) override { m_exchangeEnabled = on; }
    void ResetSubWinSizeToMin(int index) override;
    void ResetSubWinSizeToMinByID(int id) override;
    int SetFocusSubWin(int id) override;
    void SetActiveCheckMode(int on) override;
    int RenderSubWin(int id, BYTE* data, RENDER_DATA_TYPE type, int w, int h) override;
    int RenderOffScreenSurface(int id, BYTE* data, int w, int h, int port, int extra) override;
    int RenderKeptOffScreenSurface(int id, BYTE* data, boost::shared_ptr<const void> owner, int w, int h, int port,
                                   int extra) override;
    int RenderPlanarSubWin(int id, boost::shared_ptr<unsigned char[]> frame, int w, int h) override;
    int GetOffScreenSurface(int id, void*& surface, SFPlaneCopyFunc& copy, int w, int h) override;
    int SHowSubWinAtLeast(int count) override;
    int EnableSubWinAnimation(int on) override;
    int VerticalSyncEnable(int on) override;

    // What cells and play windows read of the grid.
    ISFVideoWindowEvent* Handler() const { return m_pHandler; }
    VIDEOWINDOWMODE GetVideoWindowModeConst() const { return m_mode; }
    int GetCurrentSubWinCountConst() const { return static_cast<int>(m_layout.m_cells.size()); }
    bool IsEnableFrameZoomConst() const { return m_frameZoomMode != 0; }
    bool DragModeOn() const { return m_dragMode != 0; }
    bool ActiveCheckModeOn() const { return m_activeCheckMode != 0; }
    bool SubWinCtrlsVisible() const { return m_ctrlsVisible != 0; }
    bool AnimationsEnabled() const { return m_animationsEnabled != 0; }
    QSize ButtonSize() const { return m_buttonSize; }
    const QPixmap& ButtonImage(int id) const { return m_buttonImages[id]; }
    const QPixmap& BackgroundImage() const { return m_background; }
    const QString& WaitingText() const { return m_waitingText; }
    QColor FocusFrameColor() const { return m_focusColor; }
    CSFQTVideoWindowSubWnd* CurrentCell() const { return m_current; }
    void SetCurrentCell(CSFQTVideoWindowSubWnd* cell) { m_current = cell; }
    int IndexOfCell(const CSFQTVideoWindowSubWnd* cell) const;
    CSFQTVideoWindowSubWnd* CellAt(int index) const;
    CSFQTVideoWindowSubWnd* CellById(int id, int limit) const;
    const CQTVideoWindowLayout& Layout() const { return m_layout; }
    bool IsZoomedGrid() const { return m_zoomed; }

    void OnCellPress(CSFQTVideoWindowSubWnd* cell, const QPoint& global);
    void OnCellDragged();
    void OnCellRelease(CSFQTVideoWindowSubWnd* cell, const QPoint& playWndPoint);

signals:
    void LayoutChanged();
    void sigSetLayout(LAYOUT_TYPE type, QByteArray text);

public slots:
    void CastLayoutChangedEvent();
    void SetLayout(LAYOUT_TYPE type, QByteArray text);
    void OnTimeOutExchangeSubwin();
    void SubWinDblClickZoom(int index, CSFQTVideoWindowSubWnd* cell);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect CellRect(int index) const;
    QRect HomeRect(int index) const;
    void ApplyLayoutRects();
    // Places the cells and tells the handler the layout changed.
    void ApplyAndReportLayout();
    // After a row or column change: nonzero result means the grid changed.
    int AfterGridChange(int result);
    void SwapCells(int a, int b);
    int CellIndexAt(const QPoint& point) const;
    int SlotCount() const { return m_maxRows * m_maxColumns; }
    // Slots the layout shows: merged cells leave the slots past their count
    // hidden, so rows x columns would count cells that are not in the layout.
    int LayoutSlotCount() const { return GetCurrentSubWinCountConst(); }
    QRegion SplitterRegion() const;
    void PaintSplitters(QPainter& painter) const;

    VIDEOWINDOWMODE m_mode;
    int m_maxRows;
    int m_maxColumns;
    CQTVideoWindowLayout m_layout{1, 1, 400, 300};
    std::map<int, CSFQTVideoWindowSubWnd*> m_cells;
    int m_pressedIndex = -1;
    CSFQTVideoWindowSubWnd* m_current = nullptr;
    UINT m_id = 0;
    QColor m_cellColor{54, 62, 77};
    QColor m_windowColor{53, 59, 72};
    QColor m_splitterHighlight{250, 0, 0};
    QColor m_splitterDisabled{88, 111, 27};
    QColor m_splitterDisabledHighlight{0, 250, 0};
    QColor m_focusColor{70, 152, 237};
    int m_splitterThickness = 2;
    int m_dashedThickness = 4;
    QSize m_buttonSize{-1, -1};
    QPixmap m_background;
    QPixmap m_buttonImages[ImgCount];
    QString m_waitingText = QStringLiteral("Loading...");
    QString m_secondText = QStringLiteral("Replay");
    int m_dragMode = 0;
    int m_exchangeEnabled = 1;
    int m_frameZoomMode = 0;
    int m_activeCheckMode = 0;
    int m_ctrlsVisible = 1;
    int m_animationsEnabled = 1;
    bool m_pressed = false;
    bool m_zoomed = false;
    tagRECT m_osdRect{0, 0, -1, -1};
    QPoint m_pressPoint;
    QRegion m_splitterRegion;
    QTimer m_exchangeTimer;
};
