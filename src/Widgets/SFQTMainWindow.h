#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QRect>

#include "Widgets/SFDialog.h"
#include "Widgets/SFQTDialogTimers.h"
#include "Widgets/SFQTFrameChrome.h"

// Frameless, skinned main window: the second Qt form of CSFDialog, with a
// maximize of its own that fills the available desktop area.
class CSFQTMainWindow : public QMainWindow, public CSFDialog {
    Q_OBJECT
public:
    CSFQTMainWindow(ISFDialogEvent* handler, QWidget* parent);
    ~CSFQTMainWindow() override;

    int CreateDlg(void*) override { return 1; }
    int DoModalDlg() override { return -1; }
    int Create(const wchar_t* name, void* parent) override;
    void ShowWindow(int show) override;
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override;
    void MFCOK() override { DoOK(); }
    void MFCCancel() override { DoCancel(); }
    void CenterWindow(void** reserved) override;
    void SetSkin(DialogStyle* style) override;
    void Screen2Client(tagPOINT* point) override;
    void Screen2Client(tagRECT* rect) override;
    void GetDlgClientRect(tagRECT* rect) override;
    void GetDlgWindowRect(tagRECT* rect) override;
    void SendDlgMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    int IsDlgZoomed() override { return m_maximized; }
    int DlgIsWindow() override { return isWindow(); }
    int SetDlgWindowPos(void* insertAfter, int x, int y, int cx, int cy, UINT flags) override;
    int ModifyDlgStyleEx(DWORD, DWORD, UINT) override { return 1; }
    void SetWindowTextW(const wchar_t* text) override;
    void SetDlgIcon(const wchar_t* path) override;
    int IsDlgVisible() override { return isVisible(); }
    void EnableNcLBtnDown(int enable) override { m_enableNcLBtnDown = enable != 0; }
    UINT SetDlgTimer(UINT id, UINT ms) override { return m_timers.Set(id, ms); }
    int KillDlgTimer(UINT id) override { return m_timers.Kill(id); }
    void SetSizeRoundCorner(const wchar_t* radii) override;
    void MacShowFullScreen(bool on) override;
    void MacShowMinimize(bool on) override;
    void MacShowMaximize(bool on) override;

    virtual void DoOK();
    virtual void DoCancel();
    // A session change (lock 7, unlock 8) reported to the handler.
    void OnSessionChange(WPARAM code);

    QPoint CalcCenterPos() const;
    const CSFQTFrameChrome& Chrome() const { return m_chrome; }
    QRect NormalGeometry() const { return m_normalGeometry; }

signals:
    void sgnClose();
    void sgnMaximized();
    void sgnMinimized();
    void sgnNormal();

protected:
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

    CSFQTFrameChrome m_chrome;
    QPoint m_centerPos;
    bool m_enableNcLBtnDown = true;
    CSFQTDialogTimers m_timers;
    QRect m_normalGeometry;  // to return to from the own maximize
    int m_maximized = 0;
};
