#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

#include "SkinFixture.h"
#include "TestHandlers.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFQTDialog.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

struct DialogDeleter {
    void operator()(CSFDialog* d) const { SFDestroyDialog(d); }
};
using DialogPtr = std::unique_ptr<CSFDialog, DialogDeleter>;

DialogPtr MakeDialog(ISFDialogEvent* handler)
{
    return DialogPtr(SFCreateDialog(handler, nullptr));
}

QWidget* WidgetOf(CSFDialog* d)
{
    return dynamic_cast<QWidget*>(d);
}

// Ends the running modal loop from inside it.
void Later(std::function<void()> action)
{
    QTimer::singleShot(0, std::move(action));
}

// Its OK command entry runs an action, e.g. destroying the modeless dialog.
class ActingDialogEvent : public ISFDialogEvent {
    SF_DECLARE_MESSAGE_MAP()
public:
    void Dlg_OnInitDialog(int) override {}
    void OnOk() { onOk(); }
    std::function<void()> onOk;
};

SF_BEGIN_MESSAGE_MAP(ActingDialogEvent)
    SF_ON_COMMAND(1, OnOk)
SF_END_MESSAGE_MAP()

TEST(DialogTest, HandlerSeesTheDialogAsItsWindow)
{
    RecordingDialogEvent handler;
    auto dialog = MakeDialog(&handler);
    EXPECT_EQ(handler.GetUIWnd(), static_cast<void*>(WidgetOf(dialog.get())));
    EXPECT_EQ(dialog->GetUIWnd(), handler.GetUIWnd());
    dialog.reset();
    EXPECT_EQ(handler.GetUIWnd(), nullptr);
    EXPECT_EQ(handler.calls.back(), "destroy");
}

TEST(DialogTest, ModalRunReturnsOneOnAcceptTwoOnReject)
{
    RecordingDialogEvent handler;
    auto dialog = MakeDialog(&handler);
    Later([&] { dialog->MFCOK(); });
    EXPECT_EQ(dialog->DoModalDlg(), 1);
    Later([&] { dialog->MFCCancel(); });
    EXPECT_EQ(dialog->DoModalDlg(), 2);
    Later([&] { dialog->SendDlgMessage(WM_CLOSE, 0, 0); });
    EXPECT_EQ(dialog->DoModalDlg(), 2);
    EXPECT_EQ(handler.calls[0], "init:0");
    EXPECT_NE(std::find(handler.calls.begin(), handler.calls.end(), "ok"), handler.calls.end());
    EXPECT_NE(std::find(handler.calls.begin(), handler.calls.end(), "cancel"), handler.calls.end());
}

TEST(DialogTest, CommandOneRunsItsEntryThenAccepts)
{
    RecordingDialogEvent handler;
    auto dialog = MakeDialog(&handler);
    Later([&] {
        CSFCustomEvent command(WM_COMMAND, 0, 0, 1);
        QCoreApplication::sendEvent(WidgetOf(dialog.get()), &command);
    });
    EXPECT_EQ(dialog->DoModalDlg(), 1);
    const auto cmd = std::find(handler.calls.begin(), handler.calls.end(), "cmd:1");
    const auto ok = std::find(handler.calls.begin(), handler.calls.end(), "ok");
    ASSERT_NE(cmd, handler.calls.end());
    ASSERT_NE(ok, handler.calls.end());
    EXPECT_LT(cmd, ok);
}

TEST(DialogTest, ClosingTheWindowEndsTheModalRunWithTwo)
{
    RecordingDialogEvent handler;
    auto dialog = MakeDialog(&handler);
    Later([&] { WidgetOf(dialog.get())->close(); });
    EXPECT_EQ(dialog->DoModalDlg(), 2);
    EXPECT_EQ(std::count(handler.calls.begin(), handler.calls.end(), "cancel"), 0);
}

TEST(DialogTest, CloseIsRefusedWhileTheHandlerSaysSo)
{
    RecordingDialogEvent handler;
    handler.keepOpen = 1;
    auto dialog = MakeDialog(&handler);
    dialog->ShowWindow(1);
    EXPECT_FALSE(WidgetOf(dialog.get())->close());
    EXPECT_TRUE(dialog->IsDlgVisible());
    handler.keepOpen = 0;
    EXPECT_TRUE(WidgetOf(dialog.get())->close());
}

TEST(DialogTest, TimersReportTheCallersNumber)
{
    RecordingDialogEvent handler;
    auto dialog = MakeDialog(&handler);
    const UINT qtId = dialog->SetDlgTimer(1234, 5);
    ASSERT_NE(qtId, 0u);
    EXPECT_EQ(dialog->SetDlgTimer(1234, 500), qtId);  // already armed: unchanged
    QTRY_VERIFY_WITH_TIMEOUT(!handler.timers.empty(), 2000);
    EXPECT_EQ(handler.timers.front(), 1234u);
    EXPECT_EQ(dialog->KillDlgTimer(1234), 1);
    EXPECT_EQ(dialog->KillDlgTimer(1234), 0);
    // A killed id can be armed again.
    EXPECT_NE(dialog->SetDlgTimer(1234, 5), 0u);
    EXPECT_EQ(dialog->KillDlgTimer(99), 0);
}

TEST(DialogTest, UnknownQtTimerReportsZero)
{
    RecordingDialogEvent handler;
    auto dialog = MakeDialog(&handler);
    QTimerEvent foreign(987654);
    QCoreApplication::sendEvent(WidgetOf(dialog.get()), &foreign);
    ASSERT_EQ(handler.timers.size(), 1u);
    EXPECT_EQ(handler.timers[0], 0u);
}

TEST(DialogTest, KeysArriveAsModifierAndVirtualKey)
{
    RecordingDialogEvent handler;
    auto dialog = MakeDialog(&handler);
    QWidget* w = WidgetOf(dialog.get());
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        UINT mod, code;
    };
    const Case cases[] = {
        {Qt::Key_A, Qt::ShiftModifier | Qt::ControlModifier, 17, 65},
        {Qt::Key_Left, Qt::AltModifier, 18, 37},
        {Qt::Key_Escape, Qt::NoModifier, 0, 27},
        {Qt::Key_Return, Qt::NoModifier, 0, 13},
        {Qt::Key_Enter, Qt::KeypadModifier, 0, 13},
        {Qt::Key_Up, Qt::NoModifier, 0, 38},
        {Qt::Key_Down, Qt::ControlModifier | Qt::AltModifier, 19, 40},
        {Qt::Key_Right, Qt::ShiftModifier, 16, 39},
        {Qt::Key_F1, Qt::NoModifier, 0, 112},
        {Qt::Key_F4, Qt::NoModifier, 0, static_cast<UINT>(Qt::Key_F4)},
    };
    for (const auto& c : cases) {
        handler.keys.clear();
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers);
        QCoreApplication::sendEvent(w, &press);
        ASSERT_EQ(handler.keys.size(), 1u);
        EXPECT_EQ(handler.keys[0].first, c.mod) << c.key;
        EXPECT_EQ(handler.keys[0].second, c.code) << c.key;
    }
    // Escape does not close the dialog by itself.
    dialog->ShowWindow(1);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &escape);
    EXPECT_TRUE(w->isVisible());
}

TEST(DialogTest, GeometryOperations)
{
    RecordingDialogEvent handler;
    auto dialog = MakeDialog(&handler);
    tagRECT r{10, 10, 109, 59};
    dialog->MoveWindow(&r);
    EXPECT_EQ(WidgetOf(dialog.get())->size(), QSize(100, 50));
    dialog->MoveWindow(0, 0, 300, 200);
    tagRECT client{};
    dialog->GetDlgClientRect(&client);
    EXPECT_EQ(client.right, 299);
    EXPECT_EQ(client.bottom, 199);
    dialog->SetDlgWindowPos(nullptr, 5, 6, 0, 0, 1);  // keep the size
    EXPECT_EQ(WidgetOf(dialog.get())->geometry(), QRect(5, 6, 300, 200));
    dialog->SetDlgWindowPos(nullptr, 0, 0, 120, 80, 2);  // keep the position
    EXPECT_EQ(WidgetOf(dialog.get())->geometry(), QRect(5, 6, 120, 80));
    EXPECT_EQ(dialog->IsDlgZoomed(), 1);
}

struct DropProbe : CSFQTDialog {
    using CSFQTDialog::CSFQTDialog;
    using CSFQTDialog::dropEvent;
};

TEST(DialogTest, OnlyTheFirstDroppedFileIsPassed)
{
    RecordingDialogEvent handler;
    DropProbe dialog(&handler, nullptr, Qt::WindowFlags());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/a.kvx"), QUrl::fromLocalFile("/tmp/b.kvx"),
                  QUrl::fromLocalFile("/tmp/c.kvx")});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    dialog.dropEvent(&drop);
    ASSERT_EQ(handler.drops.size(), 1u);
    EXPECT_EQ(handler.drops[0], L"/tmp/a.kvx");
}

TEST(DialogTest, NullHandlerAcceptsEverything)
{
    auto dialog = MakeDialog(nullptr);
    EXPECT_EQ(dialog->GetThisMessageIDs(), nullptr);
    EXPECT_EQ(dialog->GetUIWnd(), nullptr);
    dialog->SetWindowTextW(L"Title");
    dialog->ShowWindow(1);
    CSFCustomEvent command(WM_COMMAND, 0, 0, 7);
    QCoreApplication::sendEvent(WidgetOf(dialog.get()), &command);
    Later([&] { dialog->MFCOK(); });
    EXPECT_EQ(dialog->DoModalDlg(), 1);
}

TEST(DialogTest, CreatingAWindowResetsTheCachedIds)
{
    RecordingDialogEvent handler;
    int* first = handler.GetThisMessageIDs();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first[0], 2001);
    EXPECT_EQ(first[1], -1);
    auto dialog = MakeDialog(&handler);
    EXPECT_EQ(dialog->GetThisMessageIDs()[0], 2001);
}

TEST(DialogTest, ModalRunCanBeEndedFromTheHandlersOwnMapEntry)
{
    RecordingDialogEvent handler;
    auto dialog = MakeDialog(&handler);
    Later([&] { SFSendMessage(WidgetOf(dialog.get()), 2001, 9); dialog->MFCCancel(); });
    EXPECT_EQ(dialog->DoModalDlg(), 2);
    EXPECT_NE(std::find(handler.calls.begin(), handler.calls.end(), "ui:9:2001"), handler.calls.end());
}

TEST(DialogTest, CommandEntryMayDestroyTheDialog)
{
    ActingDialogEvent handler;
    DialogPtr dialog = MakeDialog(&handler);
    handler.onOk = [&] { dialog.reset(); };
    CSFCustomEvent command(WM_COMMAND, 0, 0, 1);
    QCoreApplication::sendEvent(WidgetOf(dialog.get()), &command);
    EXPECT_EQ(dialog, nullptr);
}

}  // namespace
