#pragma once

#include <QColor>
#include <QMap>
#include <QMetaObject>
#include <QPixmap>
#include <QTreeWidget>

#include "Widgets/SFTreeCtrl.h"

// One-column tree of text items with optional check boxes. A click on a
// check box propagates the state to the item's subtree and up its
// ancestors; highlighted items are drawn in a second colour.
class CSFQTTreeCtrl : public QTreeWidget, public CSFTreeCtrl {
    Q_OBJECT
public:
    explicit CSFQTTreeCtrl(ISFTreeCtrlEvent* handler);
    ~CSFQTTreeCtrl() override = default;

    int Create(DWORD style, const tagRECT& rect, void* parent, UINT id, int checkBoxes) override;
    int SetSkin(UITreeCtrlStyle* skin) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void* GetChildItem(void* item) const override;
    UINT GetCount() const override;
    UINT GetChildrenCount(void* item) const override;
    DWORD GetItemData(void* item) const override;
    int GetTreeItemText(void* item, wchar_t* buffer, int length) override;
    void* GetNextSiblingItem(void* item) const override;
    void* GetParentItem(void* item) const override;
    void* GetPrevSiblingItem(void* item) const override;
    void* GetRootItem() const override { return topLevelItem(0); }
    void ExpandTreeItem(void* item, UINT code) override;
    void* FindChildItem(const wchar_t* text, void* parent) const override;
    int SetItemData(void* item, DWORD data) override;
    int DeleteAllItems() override;
    int GetItemImage(void*, int&, int&) const override { return 1; }
    int DeleteItem(void* item) override;
    void* InsertItem(const wchar_t* text, void* parent, void* insertAfter) override;
    UINT GetItemState(void* item, UINT mask) const override;
    int SetCheck(void* item, int check) override;
    int GetCheck(void* item) const override;
    void SetItemHilight(void* item, int on) override;
    int IsItemHilight(void* item) override;
    int IsAnyChildItemHilight(void* item) override;
    void SetAllItemCheck(int check) override;
    int IsAllItemCheck() override;
    int ItemHasChildren(void* item) const override;
    int SetItemIcon(void* item, const wchar_t* imageName) override;
    int SetItemIcon(DWORD data, int first) override;
    void GetClientRect(tagRECT* rect) override;
    void SetEnable(int enable) override;
    void SetUserCheckable(int on) override;
    void SetItemUserCheckable(void* item, int on) override;
    void SetToolTipText(void* item, const wchar_t* text) override;

    static constexpr int kCheckZoneWidth = 21;
    int ItemHeight() const { return m_itemHeight; }
    const QColor& TextColor() const { return m_textColor; }
    const QColor& HighlightColor() const { return m_highlightColor; }

public slots:
    void OnItemChanged(QTreeWidgetItem* item, int column);
    void OnItemClick(QTreeWidgetItem* item, int column);
    void OnCurItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Removes the item signal connections while it lives.
    class Quiet {
    public:
        explicit Quiet(CSFQTTreeCtrl* tree) : m_tree(tree) { m_tree->DisconnectItemSignals(); }
        ~Quiet() { m_tree->ConnectItemSignals(); }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        CSFQTTreeCtrl* m_tree;
    };

    void ConnectItemSignals();
    void DisconnectItemSignals();
    static QTreeWidgetItem* Item(void* handle) { return static_cast<QTreeWidgetItem*>(handle); }
    static bool IsRoot(const void* handle) { return handle == SF_TVI_ROOT; }
    QTreeWidgetItem* NewItem(const wchar_t* text);
    void FinishNewItem(QTreeWidgetItem* item);
    void PropagateDown(QTreeWidgetItem* item, bool checked);
    void PropagateUp(QTreeWidgetItem* item, bool checked);
    void DeleteWithSubtree(QTreeWidgetItem* item);
    void SetSubtreeCheck(QTreeWidgetItem* item, Qt::CheckState state);
    void SetUserCheckableFlag(QTreeWidgetItem* item, bool on);
    static bool IsChecked(const QTreeWidgetItem* item);

    bool m_checkBoxes = true;
    bool m_swallowNextChange = false;
    int m_controlId = -1;
    int m_itemHeight = 16;
    QTreeWidgetItem* m_pressedCheckItem = nullptr;
    QColor m_textColor = Qt::white;
    QColor m_highlightColor{0, 255, 0};
    QPixmap m_firstStateIcon;
    QPixmap m_secondStateIcon;
    QMap<QTreeWidgetItem*, QColor> m_highlights;
    QMetaObject::Connection m_connections[3];
};
