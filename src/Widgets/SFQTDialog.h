#pragma once

#include <QDialog>

#include "Widgets/SFQTTopLevelWindow.h"

// Frameless, skinned dialog: the Qt form of CSFDialog for every dialog and
// pop-up window of the program.
class CSFQTDialog : public CSFQTTopLevelWindow<QDialog> {
    Q_OBJECT
public:
    CSFQTDialog(ISFDialogEvent* handler, QWidget* parent, Qt::WindowFlags flags);

    int CreateDlg(void* parent) override;
    int DoModalDlg() override;
    void MFCOK() override;
    void MFCCancel() override;
    int IsDlgZoomed() override { return 1; }
    void SetDrawBackGround(int) override {}
    int ModifyDlgStyleEx(DWORD remove, DWORD add, UINT flags) override;
    void SetDlgIcon(UINT) override {}
    void SetDlgIcon(const wchar_t* path) override;
    void MacShowMaximize(bool on) override;
    int HasFocus() override { return hasFocus(); }
    void SetFocus() override { activateWindow(); }
    int IsActiveWindow() override { return isActiveWindow(); }
    void ActiveWindow() override;

public slots:
    void accept() override;
    void reject() override;

signals:
    void sgnClose();
    void sgnMaximized();
    void sgnMinimized();
    void sgnNormal();

protected:
    bool event(QEvent* event) override;

private:
    static CSFQTFrameChrome::Actions MakeActions(CSFQTDialog* dialog);
};
