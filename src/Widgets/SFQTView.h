#pragma once

#include <QPixmap>
#include <QVector>
#include <QWidget>

#include "Widgets/SFView.h"

// Child view of a page, bar or panel: stretched background image, optional
// rounded mask, and a horizontal row of small widgets.
class CSFQTView : public QWidget, public CSFView {
    Q_OBJECT
public:
    explicit CSFQTView(ISFViewEvent* handler);
    ~CSFQTView() override;

    int Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const tagRECT& rect, void* parent,
               UINT id) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void SetBackground(const wchar_t* imageName) override;
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int width, int height) override;
    void GetViewClientRect(tagRECT* rect) override;
    void GetViewWindowRect(tagRECT* rect) override;
    void Screen2Client(tagPOINT* point) override;
    void Screen2Client(tagRECT* rect) override;
    int isWindow() override { return QWidget::isWindow(); }
    int SubclassWindow() override { return 1; }
    void* UnsubclassWindow() override { return nullptr; }
    void SetRoundCornerRadius(UINT radius) override { m_cornerRadius = radius; }

    // Places the widget in the view's horizontal row, 10 pixels after the last.
    void AddRowWidget(QWidget* widget);
    void SetRowTop(int top) { m_rowTop = top; }
    UINT GetControlId() const { return m_controlId; }
    const QPixmap& Background() const { return m_background; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void customEvent(QEvent* event) override;

private:

    int m_rowTop = 0;
    QPixmap m_background;
    UINT m_cornerRadius = 0;
    UINT m_controlId = 0;
    QVector<QWidget*> m_rowWidgets;
    int m_lastWidth = 0;
    int m_lastHeight = 0;
};
