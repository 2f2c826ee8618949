#pragma once

#include <QPoint>
#include <QWidget>

#include "Widgets/SFDialog.h"
#include "Widgets/SFQTDialogTimers.h"
#include "Widgets/SFQTFrameChrome.h"

// The frameless, skinned top-level window behind both the dialog
// (QtWindow = QDialog) and the main window (QtWindow = QMainWindow): the
// CSFDialog operations they share and the Qt events they forward to the
// frame chrome and to the handler.
template <class QtWindow>
class CSFQTTopLevelWindow : public QtWindow, public CSFDialog {
public:
    int Create(const wchar_t* name, void* parent) override;
    void ShowWindow(int show) override;
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override;
    void CenterWindow(void** reserved) override;
    void SetSkin(DialogStyle* style) override;
    void Screen2Client(tagPOINT* point) override;
    void Screen2Client(tagRECT* rect) override;
    void GetDlgClientRect(tagRECT* rect) override;
    void GetDlgWindowRect(tagRECT* rect) override;
    // A close message cancels, as MFCCancel does.
    void SendDlgMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    int DlgIsWindow() override { return this->isWindow(); }
    int SetDlgWindowPos(void* insertAfter, int x, int y, int cx, int cy, UINT flags) override;
    void SetWindowTextW(const wchar_t* text) override;
    int IsDlgVisible() override { return this->isVisible(); }
    void EnableNcLBtnDown(int enable) override { m_enableNcLBtnDown = enable != 0; }
    UINT SetDlgTimer(UINT id, UINT ms) override { return m_timers.Set(id, ms); }
    int KillDlgTimer(UINT id) override { return m_timers.Kill(id); }
    void SetSizeRoundCorner(const wchar_t* radii) override;
    void MacShowFullScreen(bool on) override;
    void MacShowMinimize(bool on) override;

    // The centred position for the recorded size.
    QPoint CalcCenterPos() const;
    const CSFQTFrameChrome& Chrome() const { return m_chrome; }

protected:
    using KeyCodeMap = unsigned (*)(int qtKey);

    CSFQTTopLevelWindow(ISFDialogEvent* handler, QWidget* parent, Qt::WindowFlags flags,
                        CSFQTFrameChrome::Variant variant, CSFQTFrameChrome::Actions actions, KeyCodeMap keyCode);
    ~CSFQTTopLevelWindow() override;

    void timerEvent(QTimerEvent* event) override;
    // Dispatches to the handler's message map; commands 1 and 2 then run
    // MFCOK and MFCCancel.
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

    CSFQTFrameChrome m_chrome;

private:
    CSFQTFrameChrome::Actions WithSizeReport(CSFQTFrameChrome::Actions actions);

    KeyCodeMap m_keyCode;
    QPoint m_centerPos;
    bool m_enableNcLBtnDown = true;
    CSFQTDialogTimers m_timers;
};
