#include <gtest/gtest.h>

#include <QTableWidget>
#include <QTest>

#include <functional>
#include <memory>

#include "ControlHandlers.h"
#include "Widgets/SFQTButton.h"
#include "Widgets/SFQTListCtrl.h"
#include "Widgets/SFQTView.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

class ListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.reset(SFCreateDialog(&owner, nullptr));
        list = static_cast<CSFQTListCtrl*>(SFCreateListCtrl(nullptr));
        list->Create(WS_VISIBLE, tagRECT{0, 0, 300, 200}, owner.GetUIWnd(), ControlOwnerEvent::kListId, true);
        list->InsertColumn(0, L"File Name", 0, -1, -1);
        list->InsertColumn(1, L"Percent", 0, -1, -1);
        list->InsertColumn(2, L"Results", 0, -1, -1);
    }

    std::wstring Text(int row, int column) const
    {
        wchar_t buffer[64] = {};
        list->GetItemText(row, column, buffer, 64);
        return buffer;
    }

    QColor Background(int row, int column) const
    {
        return list->model()->data(list->model()->index(row, column), Qt::BackgroundRole).value<QColor>();
    }

    ControlOwnerEvent owner;
    std::unique_ptr<CSFDialog> dialog;
    CSFQTListCtrl* list = nullptr;
};

TEST_F(ListCtrlTest, ColumnsShareTheWidthEqually)
{
    EXPECT_EQ(list->columnCount(), 3);
    EXPECT_EQ(list->columnWidth(0), 100);
    EXPECT_EQ(list->columnWidth(1), 100);
    EXPECT_EQ(list->InsertColumn(5, L"x", 0, 0, 0), -1);
    EXPECT_EQ(list->InsertColumn(-1, L"x", 0, 0, 0), -1);
}

TEST_F(ListCtrlTest, InsertInsideTheTableInsertsAtThatRow)
{
    EXPECT_EQ(list->InsertItem(0, L"a"), 0);
    EXPECT_EQ(list->InsertItem(1, L"c"), 1);
    EXPECT_EQ(list->InsertItem(1, L"b"), 1);
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(Text(0, 0), L"a");
    EXPECT_EQ(Text(1, 0), L"b");
    EXPECT_EQ(Text(2, 0), L"c");
    EXPECT_EQ(list->InsertItem(4, L"x"), -1);
    EXPECT_EQ(list->InsertItem(-1, L"x"), -1);
}

TEST_F(ListCtrlTest, RowsAlternateTheirColoursAfterEveryInsert)
{
    ListCtrlStyle skin;
    skin.str41 = L"101010";
    skin.str42 = L"202020";
    skin.n2 = 30;
    skin.n3 = 22;
    ASSERT_EQ(list->SetSkin(&skin), 1);
    list->InsertItem(0, L"a");
    list->InsertItem(1, L"b");
    list->InsertItem(0, L"new first");
    for (int row = 0; row < 3; ++row) {
        const QColor expected = row % 2 == 0 ? QColor(0x10, 0x10, 0x10) : QColor(0x20, 0x20, 0x20);
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(Background(row, column), expected) << row << "," << column;
    }
    EXPECT_EQ(list->rowHeight(2), 22);
    EXPECT_EQ(list->SetSkin(nullptr), 0);
}

TEST_F(ListCtrlTest, TextCopyIsBoundedTerminatedAndRangeChecked)
{
    list->InsertItem(0, L"recording.kvx");
    wchar_t buffer[5];
    EXPECT_EQ(list->GetItemText(0, 0, buffer, 5), 4);
    EXPECT_EQ(std::wstring(buffer), L"reco");
    EXPECT_EQ(list->GetItemText(0, 1, buffer, 5), 0) << "an empty cell";
    EXPECT_EQ(std::wstring(buffer), L"");
    EXPECT_EQ(list->GetItemText(1, 0, buffer, 5), -1);
    EXPECT_EQ(list->GetItemText(0, 3, buffer, 5), -1);
    EXPECT_EQ(list->SetItemText(0, 3, L"x"), 0);
}

TEST_F(ListCtrlTest, UserDataSurvivesTextChangesAndMissingCellsAreSafe)
{
    list->InsertItem(0, L"a");
    EXPECT_EQ(list->SetItemData(0, 77), 1);
    EXPECT_EQ(list->SetItemData(1, 77), 0);
    EXPECT_EQ(list->SetItemText(0, 0, L"renamed"), 1);
    EXPECT_EQ(list->GetItemData(0), 77u);
    EXPECT_EQ(list->GetItemData(3), static_cast<DWORD>(-1));

    list->SetToolTipText(0, 2, L"tip on an empty cell");
    ASSERT_NE(list->item(0, 2), nullptr);
    EXPECT_EQ(list->item(0, 2)->toolTip(), "tip on an empty cell");
    list->SetToolTipText(5, 0, L"no such row");
    list->SetItemIcon(0, 1, L"/nowhere.png");
}

TEST_F(ListCtrlTest, ColumnAlignmentFromDrawTextBits)
{
    EXPECT_EQ(CSFQTListCtrl::AlignmentFromFormat(0x03), int(Qt::AlignRight));
    EXPECT_EQ(CSFQTListCtrl::AlignmentFromFormat(0x05), int(Qt::AlignHCenter | Qt::AlignVCenter));
    EXPECT_EQ(CSFQTListCtrl::AlignmentFromFormat(0x8824), int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine));
    EXPECT_EQ(CSFQTListCtrl::AlignmentFromFormat(0x10), int(Qt::AlignLeft) | 0x2200);
    list->SetColumnTextAlign(1, 0x05);
    list->InsertItem(0, L"a");
    list->SetItemText(0, 1, L"50%");
    EXPECT_EQ(list->item(0, 1)->data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignHCenter | Qt::AlignVCenter));
}

TEST_F(ListCtrlTest, DoubleClickNotifiesRowColumnAndUserData)
{
    list->InsertItem(0, L"a");
    list->InsertItem(1, L"b");
    list->SetItemData(1, 4242);
    list->SetItemText(1, 2, L"ok");
    emit list->itemDoubleClicked(list->item(1, 2));
    ASSERT_EQ(owner.notices.size(), 1u);
    EXPECT_EQ(owner.notices[0], (ControlOwnerEvent::Notice{SF_LCN_ITEM_DBLCLICK, 1, 2, 4242}));
}

TEST_F(ListCtrlTest, DoubleClickWithoutParentSendsNothing)
{
    std::unique_ptr<CSFQTListCtrl> lone(static_cast<CSFQTListCtrl*>(SFCreateListCtrl(nullptr)));
    lone->InsertColumn(0, L"a", 0, 0, 0);
    lone->InsertItem(0, L"x");
    emit lone->itemDoubleClicked(lone->item(0, 0));
    EXPECT_TRUE(owner.notices.empty());
}

TEST_F(ListCtrlTest, RowButtonsNotifyTheirRowThenSendTheirCommand)
{
    list->InsertItem(0, L"a");
    list->InsertItem(1, L"b");
    list->SetItemData(1, 9);
    list->SetItemWidget(1, 2, nullptr);
    auto* cell = qobject_cast<CSFQTView*>(list->indexWidget(list->model()->index(1, 2)));
    ASSERT_NE(cell, nullptr);
    const auto buttons = cell->findChildren<CSFQTButton*>();
    ASSERT_EQ(buttons.size(), 2);
    CSFQTButton* config = buttons[0]->GetControlId() == SF_LIST_ROW_BUTTON_CONFIG ? buttons[0] : buttons[1];
    CSFQTButton* login = config == buttons[0] ? buttons[1] : buttons[0];
    EXPECT_EQ(login->GetControlId(), SF_LIST_ROW_BUTTON_LOGIN);
    EXPECT_EQ(config->size(), QSize(16, 16));
    EXPECT_EQ(config->toolTip(), "config");

    config->click();
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"notify:2", "cmd:2134"}));
    EXPECT_EQ(owner.notices.back(), (ControlOwnerEvent::Notice{SF_LCN_ROWBUTTON_CLICK, 1, 0, 9}));

    list->InsertItem(0, L"pushes the buttons down");
    login->click();
    EXPECT_EQ(owner.calls.back(), "cmd:2135");
    EXPECT_EQ(owner.notices.back().row, 2) << "the button's row follows an insert above it";
}

TEST_F(ListCtrlTest, DeleteAllItemsKeepsColumnsAndForgetsButtons)
{
    list->InsertColumn(3, L"d", 0, 0, 0);
    list->InsertColumn(4, L"e", 0, 0, 0);
    list->InsertColumn(5, L"f", 0, 0, 0);
    list->InsertColumn(6, L"g", 0, 0, 0);
    list->InsertColumn(7, L"h", 0, 0, 0);
    list->InsertItem(0, L"a");
    list->SetItemWidget(0, 7, nullptr);
    auto* cell = list->indexWidget(list->model()->index(0, 7));
    ASSERT_NE(cell, nullptr);
    const auto button = cell->findChild<CSFQTButton*>();
    EXPECT_EQ(list->RowOfButton(button), 0);
    EXPECT_EQ(list->DeleteAllItems(), 1);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(list->columnCount(), 8);
    EXPECT_EQ(list->RowOfButton(button), -1);
}

TEST_F(ListCtrlTest, ReplacedRowButtonsAreForgotten)
{
    list->InsertItem(0, L"a");
    list->SetItemWidget(0, 2, nullptr);
    const auto* first = list->indexWidget(list->model()->index(0, 2))->findChild<CSFQTButton*>();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(list->RowOfButton(first), 0);
    list->SetItemWidget(0, 2, nullptr);
    EXPECT_EQ(list->RowOfButton(first), -1);
    const auto* second = list->indexWidget(list->model()->index(0, 2))->findChild<CSFQTButton*>();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(list->RowOfButton(second), 0);
}

// Its row-button notification runs an action, e.g. closing the window.
class ActingListOwner : public ISFDialogEvent {
    SF_DECLARE_MESSAGE_MAP()
public:
    void Dlg_OnInitDialog(int) override {}
    void OnRowButton(tagNMHDR*, LRESULT*) { onRowButton(); }
    std::function<void()> onRowButton;
};

SF_BEGIN_MESSAGE_MAP(ActingListOwner)
    SF_ON_NOTIFY(SF_LCN_ROWBUTTON_CLICK, ControlOwnerEvent::kListId, OnRowButton)
SF_END_MESSAGE_MAP()

TEST(ListCtrlTeardownTest, RowButtonNotificationMayDestroyTheWindowHoldingTheList)
{
    ActingListOwner owner;
    std::unique_ptr<CSFDialog> dialog(SFCreateDialog(&owner, nullptr));
    auto* list = static_cast<CSFQTListCtrl*>(SFCreateListCtrl(nullptr));
    list->Create(WS_VISIBLE, tagRECT{0, 0, 300, 200}, owner.GetUIWnd(), ControlOwnerEvent::kListId, true);
    list->InsertColumn(0, L"File Name", 0, -1, -1);
    list->InsertItem(0, L"a");
    list->SetItemWidget(0, 0, nullptr);
    QWidget* cell = list->indexWidget(list->model()->index(0, 0));
    ASSERT_NE(cell, nullptr);
    const auto buttons = cell->findChildren<CSFQTButton*>();
    ASSERT_FALSE(buttons.isEmpty());
    owner.onRowButton = [&] { dialog.reset(); };
    buttons.first()->click();
    EXPECT_EQ(dialog, nullptr);
}

}  // namespace
