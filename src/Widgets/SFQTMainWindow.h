#pragma once

#include <QMainWindow>
#include <QRect>

#include "Widgets/SFQTTopLevelWindow.h"

// Frameless, skinned main window: the second Qt form of CSFDialog, with a
// maximize of its own that fills the available desktop area.
class CSFQTMainWindow : public CSFQTTopLevelWindow<QMainWindow> {
    Q_OBJECT
public:
    CSFQTMainWindow(ISFDialogEvent* handler, QWidget* parent);

    int CreateDlg(void*) override { return 1; }
    int DoModalDlg() override { return -1; }
    void MFCOK() override { DoOK(); }
    void MFCCancel() override { DoCancel(); }
    int IsDlgZoomed() override { return m_maximized; }
    int ModifyDlgStyleEx(DWORD, DWORD, UINT) override { return 1; }
    void SetDlgIcon(const wchar_t* path) override;
    void MacShowMaximize(bool on) override;

    virtual void DoOK();
    virtual void DoCancel();
    // A session change (lock 7, unlock 8) reported to the handler.
    void OnSessionChange(WPARAM code);

    QRect NormalGeometry() const { return m_normalGeometry; }

signals:
    void sgnClose();
    void sgnMaximized();
    void sgnMinimized();
    void sgnNormal();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    static CSFQTFrameChrome::Actions MakeActions(CSFQTMainWindow* window);

    QRect m_normalGeometry;  // to return to from the own maximize
    int m_maximized = 0;
};
