#pragma once

#include <QLineEdit>

#include "Widgets/SFEditCtrl.h"

// One-line text field; reports text changes and the end of editing.
class CSFQTEditCtrl : public QLineEdit, public CSFEditCtrl {
    Q_OBJECT
public:
    explicit CSFQTEditCtrl(ISFEditCtrlEvent* handler);
    ~CSFQTEditCtrl() override = default;

    int Create(DWORD style, const tagRECT& rect, void* parent, UINT id) override;
    // The skin image becomes the field's background texture.
    int SetSkin(const wchar_t* imageName) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    int GetWindowTextW(wchar_t* buffer, int size) const override;
    void SetWindowTextW(const wchar_t* text) override;
    void EnableWindow(int enable) override { setEnabled(enable != 0); }

    UINT GetControlId() const { return m_controlId; }

public slots:
    void OnTextChange(const QString& text);
    void OnEditingFinished();

private:
    UINT m_controlId = static_cast<UINT>(-1);
};
