#pragma once

#include <QDialog>
#include <QPoint>

#include "Widgets/SFDialog.h"
#include "Widgets/SFQTDialogTimers.h"
#include "Widgets/SFQTFrameChrome.h"

// Frameless, skinned dialog: the Qt form of CSFDialog for every dialog and
// pop-up window of the program.
class CSFQTDialog : public QDialog, public CSFDialog {
    Q_OBJECT
public:
    CSFQTDialog(ISFDialogEvent* handler, QWidget* parent, Qt::WindowFlags flags);
    ~CSFQTDialog() override;

    int CreateDlg(void* parent) override;
    int DoModalDlg() override;
    int Create(const wchar_t* name, void* parent) override;
    void ShowWindow(int show) override;
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override;
    void MFCOK() override;
    void MFCCancel() override;
    void CenterWindow(void** reserved) override;
    void SetSkin(DialogStyle* style) override;
    void Screen2Client(tagPOINT* point) override;
    void Screen2Client(tagRECT* rect) override;
    void GetDlgClientRect(tagRECT* rect) override;
    void GetDlgWindowRect(tagRECT* rect) override;
    void SendDlgMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    int IsDlgZoomed() override { return 1; }
    void SetDrawBackGround(int) override {}
    int DlgIsWindow() override { return isWindow(); }
    int SetDlgWindowPos(void* insertAfter, int x, int y, int cx, int cy, UINT flags) override;
    int ModifyDlgStyleEx(DWORD remove, DWORD add, UINT flags) override;
    void SetWindowTextW(const wchar_t* text) override;
    void SetDlgIcon(UINT) override {}
    void SetDlgIcon(const wchar_t* path) override;
    int IsDlgVisible() override { return isVisible(); }
    void EnableNcLBtnDown(int enable) override { m_enableNcLBtnDown = enable != 0; }
    UINT SetDlgTimer(UINT id, UINT ms) override { return m_timers.Set(id, ms); }
    int KillDlgTimer(UINT id) override { return m_timers.Kill(id); }
    void SetSizeRoundCorner(const wchar_t* radii) override;
    void MacShowFullScreen(bool on) override;
    void MacShowMinimize(bool on) override;
    void MacShowMaximize(bool on) override;
    int HasFocus() override { return hasFocus(); }
    void SetFocus() override { activateWindow(); }
    int IsActiveWindow() override { return isActiveWindow(); }
    void ActiveWindow() override;

    // The centred position for the recorded size.
    QPoint CalcCenterPos() const;
    const CSFQTFrameChrome& Chrome() const { return m_chrome; }

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
    void timerEvent(QTimerEvent* event) override;
    void customEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    CSFQTFrameChrome::Actions MakeActions();
    QSize RecordedSize() const;

    CSFQTFrameChrome m_chrome;
    QPoint m_centerPos;
    bool m_enableNcLBtnDown = true;
    CSFQTDialogTimers m_timers;
};
