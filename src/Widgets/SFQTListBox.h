#pragma once

#include <QListWidget>

#include "Widgets/SFListBox.h"

// Plain list of text rows; the mouse only reports to the handler and never
// selects rows.
class CSFQTListBox : public QListWidget, public CSFListBox {
    Q_OBJECT
public:
    explicit CSFQTListBox(ISFListBoxEvent* handler);
    ~CSFQTListBox() override = default;

    int Create(DWORD style, const tagRECT& rect, void* parent, UINT id) override;
    int SetSkin() override { return 0; }
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    int GetCount() const override { return count(); }
    int GetText(int index, wchar_t* buffer, int size) const override;
    int GetCurSel() const override { return currentRow(); }
    int SetCurSel(int index) override;
    int AddString(const wchar_t* text) override;
    int DeleteString(UINT index) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};
