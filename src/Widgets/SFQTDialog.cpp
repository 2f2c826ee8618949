#include "Widgets/SFQTDialog.h"

#include <QApplication>

#include "Widgets/SFQTKeyMap.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"

CSFQTDialog::CSFQTDialog(ISFDialogEvent* handler, QWidget* parent, Qt::WindowFlags flags)
    : CSFQTTopLevelWindow<QDialog>(handler, parent, flags, CSFQTFrameChrome::Variant::Dialog, MakeActions(this),
                                   SFQTDialogKeyCode)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    connect(this, &CSFQTDialog::sgnClose, this, &QWidget::close, Qt::QueuedConnection);
    connect(this, &CSFQTDialog::sgnMaximized, this, &QWidget::showMaximized, Qt::QueuedConnection);
    connect(this, &CSFQTDialog::sgnMinimized, this, &QWidget::showMinimized, Qt::QueuedConnection);
    connect(this, &CSFQTDialog::sgnNormal, this, &QWidget::showNormal, Qt::QueuedConnection);
}

CSFQTFrameChrome::Actions CSFQTDialog::MakeActions(CSFQTDialog* dialog)
{
    CSFQTFrameChrome::Actions actions;
    actions.isMaximized = [dialog] { return (dialog->windowState() & Qt::WindowMaximized) != 0; };
    actions.close = [dialog] { emit dialog->sgnClose(); };
    actions.maximize = [dialog] { emit dialog->sgnMaximized(); };
    actions.minimize = [dialog] { emit dialog->sgnMinimized(); };
    actions.normal = [dialog] { emit dialog->sgnNormal(); };
    return actions;
}

int CSFQTDialog::CreateDlg(void*)
{
    return 1;
}

int CSFQTDialog::DoModalDlg()
{
    setWindowModality(Qt::ApplicationModal);
    setModal(true);
    if (m_pHandler)
        m_pHandler->Dlg_OnInitDialog(0);
    QWidget::setFocus(Qt::OtherFocusReason);
    const int result = exec();
    return result == 0 ? 2 : result;
}

void CSFQTDialog::MFCOK()
{
    accept();
}

void CSFQTDialog::MFCCancel()
{
    reject();
}

int CSFQTDialog::ModifyDlgStyleEx(DWORD remove, DWORD add, UINT)
{
    const bool wasVisible = isVisible();
    Qt::WindowFlags flags = windowFlags();
    if (remove)
        flags &= ~Qt::WindowFlags(static_cast<int>(remove));
    if (add)
        flags |= Qt::WindowFlags(static_cast<int>(add));
    setWindowFlags(flags);
    if (wasVisible)
        show();
    return 1;
}

void CSFQTDialog::SetDlgIcon(const wchar_t* path)
{
    SFQTSetWindowIcon(this, SFQTStringFromWide(path));
}

void CSFQTDialog::MacShowMaximize(bool on)
{
    on ? showMaximized() : showNormal();
}

void CSFQTDialog::ActiveWindow()
{
    raise();
    activateWindow();
}

void CSFQTDialog::accept()
{
    if (m_pHandler)
        m_pHandler->Dlg_OnOK();
    QDialog::accept();
}

void CSFQTDialog::reject()
{
    if (m_pHandler)
        m_pHandler->Dlg_OnCancel();
    QDialog::reject();
}

bool CSFQTDialog::event(QEvent* event)
{
    return QWidget::event(event);
}
