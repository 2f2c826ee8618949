#pragma once

#include <QColor>
#include <QMap>
#include <QStringList>
#include <QTableWidget>

#include "Widgets/SFListCtrl.h"
#include "Widgets/SFListCtrlNotify.h"

class CSFQTButton;

// Report list: titled columns, single-row selection, alternating row
// colours, per-column alignment, per-row user data and an optional pair of
// row buttons in a cell. It reports to its parent window with WM_NOTIFY
// (and WM_COMMAND for the row buttons).
class CSFQTListCtrl : public QTableWidget, public CSFListCtrl {
    Q_OBJECT
public:
    explicit CSFQTListCtrl(ISFListCtrlEvent* handler);
    ~CSFQTListCtrl() override = default;

    int Create(DWORD style, const tagRECT& rect, void* parent, UINT id, bool flag) override;
    int SetSkin(ListCtrlStyle* skin) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    int GetItemCount() const override { return rowCount(); }
    DWORD GetItemData(int row) const override;
    int GetItemText(int row, int column, wchar_t* buffer, int length) const override;
    int GetNextSelectedItem(void*&) const override { return -1; }
    int SetItemData(int row, DWORD data) override;
    int SetItemText(int row, int column, const wchar_t* text) override;
    int SubItemHitTest(void*) override { return -1; }
    int InsertColumn(int column, const wchar_t* title, int format, int width, int subItem) override;
    int InsertItem(int row, const wchar_t* text) override;
    int DeleteAllItems() override;
    int SetColumnWidth(int column, int width) override;
    void SetColumnTextAlign(int column, UINT format) override;
    void SetItemWidget(int row, int column, void* widget) override;
    void SetItemIcon(int row, int column, const wchar_t* path) override;
    void SetObjectName(const wchar_t* name) override;
    void SetHorizontalHeaderVisible(int visible) override;
    void ScrollToBottom() override { scrollToBottom(); }
    void SetToolTipText(int row, int column, const wchar_t* text) override;
    void SetShowGrid(int show) override { setShowGrid(show != 0); }

    // DrawText bits of a column format in Qt alignment and text flags.
    static int AlignmentFromFormat(UINT format);
    const QColor& EvenRowColor() const { return m_evenRowColor; }
    const QColor& OddRowColor() const { return m_oddRowColor; }
    int RowHeight() const { return m_rowHeight; }
    UINT GetControlId() const { return static_cast<UINT>(m_controlId); }
    // The row a row button belongs to; -1 for anything else.
    int RowOfButton(const QObject* button) const;

public slots:
    void OnItemDBClicked(QTableWidgetItem* item);
    void OnClicked();
    void OnCellChanged(int row, int column, int);

private:
    // Drops the row entries of the buttons in a cell widget about to be replaced.
    void ForgetRowButtons(const QWidget* cell);
    bool IsCell(int row, int column) const;
    // A row whose text wraps grows to show it whole.
    void FitRowToText(int row);
    void Recolour();
    void ApplyColumnAlignment(QTableWidgetItem* item, int column);
    // The cell's item, made (empty) when the cell has none.
    QTableWidgetItem* EnsureItem(int row, int column);
    CSFQTButton* MakeRowButton(QWidget* cell, UINT id, const wchar_t* image, const QString& tip);
    void SendToParent(UINT message, UINT code, WPARAM wParam, LPARAM lParam);
    SF_LISTCTRL_NOTIFY MakeNotify(UINT code, int row, int column) const;

    QStringList m_titles;
    int m_controlId = -1;
    QColor m_evenRowColor{92, 101, 118};
    QColor m_oddRowColor{101, 110, 129};
    int m_rowHeight = 27;
    int m_headerHeight = 27;
    // Row of each row button; keys are only compared, never followed.
    QMap<const QObject*, int> m_buttonRows;
    QMap<int, int> m_columnAlignment;
};
