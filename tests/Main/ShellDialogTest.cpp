#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

#include "Main/AboutDlgEventImp.h"
#include "Main/MessageNotifier.h"
#include "Main/MsgDlgEventImp.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFListCtrl.h"

namespace {

int Width(const tagRECT& r)
{
    return r.right - r.left;
}

// Presses a key in the modal dialog once it runs.
void PressInModal(int key)
{
    QTimer::singleShot(0, [key] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(modal, &press);
    });
}

void CloseModal()
{
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        modal->close();
    });
}

}  // namespace

TEST(MsgDlgLayout, ButtonsAreCentredBelowTheText)
{
    struct Case {
        int textW, textH, type;
        int dialogW, dialogH, okLeft, cancelLeft;
    };
    const Case cases[] = {
        {300, 16, 0, 340, 135, 135, 0},   // one button, centred
        {300, 16, 1, 340, 135, 90, 180},  // pair centred, 20 apart
        {300, 80, 1, 340, 165, 90, 180},  // taller text pushes the buttons down
        {40, 16, 1, 200, 135, 20, 110},   // short text: the dialog keeps its least width
        {41, 16, 0, 200, 135, 65, 0},
    };
    for (const Case& c : cases) {
        const MsgDlgLayout l = CMsgDlgEventImp::ComputeLayout(c.textW, c.textH, c.type);
        SCOPED_TRACE(c.textW * 10 + c.type);
        EXPECT_EQ(Width(l.dialog), c.dialogW);
        EXPECT_EQ(l.dialog.bottom, c.dialogH);
        EXPECT_EQ(l.ok.left, c.okLeft);
        EXPECT_EQ(Width(l.ok), 70);
        EXPECT_EQ(l.ok.top, l.text.bottom + 10);
        if (c.type == 1) {
            EXPECT_EQ(l.cancel.left, c.cancelLeft);
            EXPECT_EQ(l.cancel.left - l.ok.right, 20);
            EXPECT_LE(l.cancel.right, l.dialog.right);
        }
    }
}

TEST(MsgDlg, KeysAndCloseBoxGiveTheAnswer)
{
    auto dlg = CMsgDlgEventImp::Create(nullptr);
    ASSERT_NE(dlg->GetDlg(), nullptr);
    PressInModal(Qt::Key_Return);
    EXPECT_EQ(dlg->ShowMsg(L"Saved.", nullptr, 0), 1);
    PressInModal(Qt::Key_Escape);
    EXPECT_EQ(dlg->ShowMsg(L"Delete?", L"Question", 1), 2);
    CloseModal();
    EXPECT_EQ(dlg->ShowMsg(nullptr, nullptr, 1), 2);
}

// The texts of the prompt's labels.
QString LabelTexts(CSFDialog* dialog)
{
    QString texts;
    auto* widget = dynamic_cast<QWidget*>(dialog);
    for (QLabel* label : widget ? widget->findChildren<QLabel*>() : QList<QLabel*>())
        texts += label->text();
    return texts;
}

// A prompt asked while another is open gets a dialog of its own: each is
// answered by the key pressed while it was the one shown.
TEST(MsgDlg, APromptAskedWhileOneIsOpenIsAnsweredOnItsOwn)
{
    auto dlg = CMsgDlgEventImp::Create(nullptr);
    int second = 0;
    QWidget* secondDialog = nullptr;
    QString firstTexts;
    QTimer::singleShot(0, [&] {
        QWidget* first = QApplication::activeModalWidget();
        QTimer::singleShot(0, [&secondDialog] {
            secondDialog = QApplication::activeModalWidget();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            if (secondDialog)
                QApplication::sendEvent(secondDialog, &press);
        });
        second = dlg->ShowMsg(L"Delete the file?", L"Question", 1);
        EXPECT_NE(secondDialog, first);
        firstTexts = LabelTexts(dlg->GetDlg());
        PressInModal(Qt::Key_Escape);
    });
    EXPECT_EQ(dlg->ShowMsg(L"Saved.", nullptr, 1), 2);
    EXPECT_EQ(second, 1);
    EXPECT_TRUE(firstTexts.contains("Saved.")) << firstTexts.toStdString();
    EXPECT_FALSE(firstTexts.contains("Delete")) << firstTexts.toStdString();
}

TEST(MsgDlg, PromptFunctionReachesTheRegisteredDialog)
{
    auto dlg = CMsgDlgEventImp::Create(nullptr);
    SetPromptDialog(nullptr);
    EXPECT_EQ(ShowMessageBox(L"x", nullptr, 0), -1);
    SetPromptDialog(dlg.get());
    PressInModal(Qt::Key_Return);
    EXPECT_EQ(ShowMessageBox(L"x", nullptr, 1), 1);
    SetPromptDialog(nullptr);
}

TEST(AboutDlg, LinkColourFollowsTheMouseAndEscapeCloses)
{
    auto about = CAboutDlgEventImp::Create(nullptr);
    ASSERT_NE(about->GetLink(), nullptr);
    wchar_t text[128] = {};
    about->GetLink()->GetWindowTextW(text, 128);
    EXPECT_STREQ(text, L"WebSite");
    PressInModal(Qt::Key_Escape);
    EXPECT_EQ(about->GetDlg()->DoModalDlg(), 2);
}

TEST(MessageNotifier, RowsCarryAStampAndClearStartsOver)
{
    auto notifier = CMessageNotifier::GetInstance();
    EXPECT_EQ(notifier, CMessageNotifier::GetInstance());
    notifier->CreateDlg(nullptr);
    notifier->ClearMessages();
    notifier->Notify(L"first", false);
    EXPECT_FALSE(notifier->GetDlg()->IsDlgVisible());
    notifier->Notify(L"", true);
    EXPECT_TRUE(notifier->GetDlg()->IsDlgVisible());
    ASSERT_EQ(notifier->GetList()->GetItemCount(), 2);
    wchar_t row[64] = {};
    notifier->GetList()->GetItemText(0, 0, row, 64);
    const std::wstring text(row);
    // "2026/12/07 13:58:15  first"
    ASSERT_EQ(text.size(), 19u + 2 + 5);
    EXPECT_EQ(text[4], L'/');
    EXPECT_EQ(text[13], L':');
    EXPECT_EQ(text.substr(19), L"  first");
    notifier->ClearMessages();
    EXPECT_EQ(notifier->GetList()->GetItemCount(), 0);
    notifier->Notify(L"again", false);
    EXPECT_EQ(notifier->GetRowCount(), 1);
    notifier->DestroyDlg();
}

// Dialogs on the standard frame are filled with its background image, not
// left black.
TEST(AboutDlg, StandardFrameIsFilled)
{
    SFSetSkinPath(QString(LUMIVEX_SOURCE_DIR "/resources/Skin/").toStdWString());
    auto about = CAboutDlgEventImp::Create(nullptr);
    about->GetDlg()->ShowWindow(1);
    const QImage image = static_cast<QWidget*>(about->GetUIWnd())->grab().toImage();
    about->GetDlg()->ShowWindow(0);
    SFSetSkinPath(L"");
    ASSERT_FALSE(image.isNull());
    const QColor body = image.pixelColor(10, image.height() - 20);
    EXPECT_GT(body.red() + body.green() + body.blue(), 0);
}
