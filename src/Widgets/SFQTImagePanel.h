#pragma once

#include <list>
#include <string>

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

#include "Widgets/SFImagePanel.h"

class QScrollBar;

// One image of the panel with the texts shown for it.
struct ImagePanelItem {
    QString imagePath;
    QString name;
    QString type;
    QString startTime;
    QString endTime;
    QPixmap image;
};

// Horizontal strip of images over a scroll bar, with an information box at
// the right that describes the image under the mouse. A double-click on an
// image reports its path.
class CSFQTImagePanel : public QWidget, public CSFImagePanel {
    Q_OBJECT
public:
    static constexpr int kInfoWidth = 200;
    static constexpr int kScrollBarHeight = 15;

    explicit CSFQTImagePanel(ISFImagePanelEvent* handler);
    ~CSFQTImagePanel() override = default;

    int Create(const wchar_t* name, const tagRECT& rect, void* parent, UINT id) override;
    int SetSkin(UIImagePanelStyle* skin) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    int GetCount() const override { return static_cast<int>(m_items.size()); }
    int AddItem(const wchar_t* imagePath, const wchar_t* name, const wchar_t* type, const wchar_t* startTime,
                const wchar_t* endTime) override;
    void ClearItems() override;
    void DelByItemName(const wchar_t* name) override;
    const wchar_t* GetHotImagePath() override;

    // Cell of item `index` in the strip (not enlarged).
    QRect ItemRect(int index) const;
    // Index of the item at a point; -1 when none.
    int HitTest(const QPoint& point);
    int HoverIndex() const { return m_hoverIndex; }
    int HotIndex() const { return m_hotIndex; }
    const QRect& ImageArea() const { return m_imageArea; }
    QScrollBar* ScrollBar() const { return m_scrollBar; }
    // The four information values as the last paint set them.
    const QString& InfoValue(int row) const { return m_infoValues[row]; }

public slots:
    void OnScrollBarChanged(int value);
    void OnDoubleClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void LayOut();
    void ResetScrollBar();
    void UpdateScrollMaximum();
    int StripWidth() const;
    int StripOffset() const;
    int VisibleItemCount() const;
    const ImagePanelItem* ItemAt(int index) const;
    void PaintItems(QPainter& painter);
    void PaintInformation(QPainter& painter);

    std::list<ImagePanelItem> m_items;
    int m_hoverIndex = -1;
    int m_hotIndex = -1;
    QColor m_backgroundColor{255, 255, 255};
    int m_gap = 3;
    int m_marginX = 3;
    int m_marginY = 3;
    QSize m_itemSize{0, 0};
    QRect m_labelRects[4];
    QRect m_valueRects[4];
    QString m_infoValues[4];
    QScrollBar* m_scrollBar = nullptr;
    QRect m_imageArea;
    QRect m_infoArea;
    std::wstring m_hotPath;
};
