#include <gtest/gtest.h>

#include <QStyleOptionViewItem>
#include <QTest>

#include <memory>

#include "ControlHandlers.h"
#include "Widgets/SFQTTreeCtrl.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

// Group "A" with days "A1" (channels "A1a", "A1b") and "A2"; group "B".
class TreeCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.reset(static_cast<CSFQTTreeCtrl*>(SFCreateTreeCtrl(&events)));
        tree->Create(WS_VISIBLE, tagRECT{0, 0, 300, 300}, nullptr, 11, 1);
        a = tree->InsertItem(L"A", SF_TVI_ROOT, SF_TVI_LAST);
        a1 = tree->InsertItem(L"A1", a, SF_TVI_LAST);
        a2 = tree->InsertItem(L"A2", a, SF_TVI_LAST);
        a1a = tree->InsertItem(L"A1a", a1, SF_TVI_LAST);
        a1b = tree->InsertItem(L"A1b", a1, SF_TVI_LAST);
        b = tree->InsertItem(L"B", SF_TVI_ROOT, SF_TVI_LAST);
        tree->expandAll();
        tree->show();
    }

    static QTreeWidgetItem* Item(void* handle) { return static_cast<QTreeWidgetItem*>(handle); }
    int Checked(void* item) const { return tree->GetCheck(item); }

    void ClickCheckBox(void* item)
    {
        const QRect row = tree->visualItemRect(Item(item));
        QStyleOptionViewItem option;
        option.initFrom(tree->viewport());
        option.rect = row;
        option.features = QStyleOptionViewItem::HasCheckIndicator;
        const QRect box = tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree.get());
        ASSERT_LT(box.center().x(), row.left() + CSFQTTreeCtrl::kCheckZoneWidth);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, box.center());
    }

    RecordingTreeEvent events;
    std::unique_ptr<CSFQTTreeCtrl> tree;
    void* a = nullptr;
    void* a1 = nullptr;
    void* a2 = nullptr;
    void* a1a = nullptr;
    void* a1b = nullptr;
    void* b = nullptr;
};

TEST_F(TreeCtrlTest, InsertingRaisesNothingAndKeepsOrder)
{
    EXPECT_TRUE(events.checkChanges.empty());
    EXPECT_EQ(tree->InsertItem(L"x", nullptr, SF_TVI_LAST), nullptr);
    void* first = tree->InsertItem(L"first", a, SF_TVI_FIRST);
    void* afterA1 = tree->InsertItem(L"after A1", a, a1);
    EXPECT_EQ(tree->GetChildItem(a), first);
    EXPECT_EQ(tree->GetNextSiblingItem(a1), afterA1);
    EXPECT_EQ(tree->GetPrevSiblingItem(first), nullptr);
    EXPECT_EQ(tree->GetParentItem(a1), a);
    EXPECT_EQ(tree->GetParentItem(a), nullptr);
    EXPECT_EQ(tree->GetRootItem(), a);
    EXPECT_EQ(tree->GetChildItem(SF_TVI_ROOT), a);
    EXPECT_EQ(tree->GetNextSiblingItem(a), b);
    EXPECT_TRUE(events.checkChanges.empty());
    EXPECT_EQ(Item(a)->checkState(0), Qt::Unchecked) << "new items carry a check box";
}

TEST_F(TreeCtrlTest, CheckingTheLastChildChecksItsAncestorsUpToTheFirstGroup)
{
    ClickCheckBox(a1a);
    EXPECT_EQ(Checked(a1a), 1);
    EXPECT_EQ(Checked(a1), 0) << "a sibling is still unchecked";
    ASSERT_FALSE(events.boxClicks.empty());
    EXPECT_EQ(events.boxClicks[0], std::make_pair(a1a, UINT{1}));

    ClickCheckBox(a1b);
    EXPECT_EQ(Checked(a1), 1);
    EXPECT_EQ(Checked(a), 0) << "A2 is still unchecked";
    ClickCheckBox(a2);
    EXPECT_EQ(Checked(a), 1);
    EXPECT_EQ(Checked(b), 0);
    EXPECT_TRUE(events.clicks.empty()) << "check-box clicks raise no item click";

    const std::vector<std::pair<void*, int>> expected{{a1a, 1}, {a1b, 1}, {a1, 1}, {a2, 1}, {a, 1}};
    EXPECT_EQ(events.checkChanges, expected);
}

TEST_F(TreeCtrlTest, UncheckingAChildUnchecksItsAncestorsAndCheckingAParentItsSubtree)
{
    ClickCheckBox(a);
    EXPECT_EQ(Checked(a1), 1);
    EXPECT_EQ(Checked(a1a), 1);
    EXPECT_EQ(Checked(a2), 1);
    events.checkChanges.clear();

    ClickCheckBox(a1b);
    EXPECT_EQ(Checked(a1b), 0);
    EXPECT_EQ(Checked(a1), 0);
    EXPECT_EQ(Checked(a), 0);
    EXPECT_EQ(Checked(a1a), 1);
    EXPECT_EQ(Checked(a2), 1);
    const std::vector<std::pair<void*, int>> expected{{a1b, 0}, {a1, 0}, {a, 0}};
    EXPECT_EQ(events.checkChanges, expected);
}

TEST_F(TreeCtrlTest, ClickOnTheTextIsAnItemClickEvenAfterACheckBoxClick)
{
    ClickCheckBox(a2);
    const QRect row = tree->visualItemRect(Item(a2));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(row.left() + 40, row.center().y()));
    EXPECT_EQ(events.clicks, std::vector<void*>{a2});
    EXPECT_EQ(Checked(a2), 1);
}

TEST_F(TreeCtrlTest, SetCheckIsSilentAndWithoutPropagation)
{
    EXPECT_EQ(tree->SetCheck(a1, 1), 1);
    EXPECT_EQ(Checked(a1), 1);
    EXPECT_EQ(Checked(a1a), 0);
    EXPECT_EQ(tree->SetCheck(nullptr, 1), 0);
    EXPECT_TRUE(events.checkChanges.empty());
    EXPECT_EQ(tree->IsAllItemCheck(), 0);
    tree->SetAllItemCheck(1);
    EXPECT_EQ(tree->IsAllItemCheck(), 1);
    EXPECT_EQ(Checked(a1b), 1);
}

TEST_F(TreeCtrlTest, HighlightsUseTheirOwnColourAndAreTracked)
{
    UITreeCtrlStyle skin;
    skin.str5 = L"ffffff";
    skin.str6 = L"00ff00";
    skin.n5 = 20;
    ASSERT_EQ(tree->SetSkin(&skin), 1);
    tree->SetItemHilight(a1a, 1);
    EXPECT_EQ(tree->IsItemHilight(a1a), 1);
    EXPECT_EQ(tree->IsAnyChildItemHilight(a1), 1);
    EXPECT_EQ(tree->IsAnyChildItemHilight(a), 0) << "only direct children count";
    EXPECT_EQ(Item(a1a)->foreground(0).color(), QColor(0, 255, 0));
    tree->SetItemHilight(a1a, 0);
    EXPECT_EQ(tree->IsItemHilight(a1a), 0);
    EXPECT_EQ(Item(a1a)->foreground(0).color(), QColor(255, 255, 255));
    tree->SetItemHilight(b, 1);
    EXPECT_EQ(tree->IsAnyChildItemHilight(SF_TVI_ROOT), 1);
    EXPECT_TRUE(events.checkChanges.empty());
    tree->DeleteItem(b);
    EXPECT_EQ(tree->IsAnyChildItemHilight(SF_TVI_ROOT), 0);
    void* later = tree->InsertItem(L"later", SF_TVI_ROOT, SF_TVI_LAST);
    EXPECT_EQ(Item(later)->sizeHint(0).height(), 20);
}

TEST_F(TreeCtrlTest, SearchAndCountGoThreeLevelsDeep)
{
    void* deep = tree->InsertItem(L"deep", a1a, SF_TVI_LAST);
    EXPECT_EQ(tree->FindChildItem(L"A1", a), a1);
    EXPECT_EQ(tree->FindChildItem(L"A1b", a), a1b);
    EXPECT_EQ(tree->FindChildItem(L"deep", a), nullptr) << "great-grandchildren are not searched";
    EXPECT_EQ(tree->FindChildItem(L"deep", a1), deep);
    EXPECT_EQ(tree->FindChildItem(L"B", SF_TVI_ROOT), b);
    EXPECT_EQ(tree->FindChildItem(L"A1", SF_TVI_ROOT), nullptr);
    EXPECT_EQ(tree->FindChildItem(L"A", nullptr), nullptr);
    EXPECT_EQ(tree->GetCount(), 6u) << "the fourth level is not counted";
    EXPECT_EQ(tree->GetChildrenCount(a), 2u);
    EXPECT_EQ(tree->ItemHasChildren(SF_TVI_ROOT), 2);
}

TEST_F(TreeCtrlTest, UserDataTextAndIcons)
{
    EXPECT_EQ(tree->SetItemData(a2, 0xDEADBEEF), 1);
    EXPECT_EQ(tree->GetItemData(a2), 0xDEADBEEFu);
    EXPECT_EQ(tree->GetItemData(nullptr), static_cast<DWORD>(-1));
    EXPECT_EQ(tree->SetItemIcon(DWORD{0xDEADBEEF}, 1), 1);
    EXPECT_EQ(tree->SetItemIcon(DWORD{12345}, 1), 0);

    wchar_t buffer[3];
    EXPECT_EQ(tree->GetTreeItemText(a1a, buffer, 3), 2);
    EXPECT_EQ(std::wstring(buffer), L"A1");
    EXPECT_EQ(tree->GetTreeItemText(SF_TVI_ROOT, buffer, 3), 1);
    EXPECT_EQ(std::wstring(buffer), L"A");
    EXPECT_EQ(tree->GetTreeItemText(nullptr, buffer, 3), -1);
}

TEST_F(TreeCtrlTest, DeletingASubtreeAndEverything)
{
    EXPECT_EQ(tree->DeleteItem(a1), 1);
    EXPECT_EQ(tree->GetCount(), 3u);
    EXPECT_EQ(tree->DeleteItem(nullptr), 0);
    EXPECT_EQ(tree->DeleteAllItems(), 1);
    EXPECT_EQ(tree->GetCount(), 0u);
    EXPECT_EQ(tree->GetRootItem(), nullptr);
    EXPECT_EQ(tree->IsAllItemCheck(), 0);
}

TEST_F(TreeCtrlTest, KeysAndDoubleClicksReachTheHandler)
{
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier);
    QCoreApplication::sendEvent(tree.get(), &left);
    QTest::keyClick(tree.get(), Qt::Key_F1);
    QTest::keyClick(tree.get(), Qt::Key_A);
    const std::vector<std::pair<UINT, UINT>> keys{{19, 37}, {0, 112}, {0, 0}};
    EXPECT_EQ(events.keys, keys);

    const QRect row = tree->visualItemRect(Item(a2));
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(row.left() + 40, row.center().y()));
    EXPECT_EQ(events.doubleClicks, std::vector<void*>{a2});
    EXPECT_TRUE(Item(a)->isExpanded()) << "double-clicks do not collapse";
}

TEST_F(TreeCtrlTest, UserCheckableChangesAreNotReported)
{
    tree->SetUserCheckable(0);
    EXPECT_FALSE(Item(a1a)->flags().testFlag(Qt::ItemIsUserCheckable));
    EXPECT_TRUE(events.checkChanges.empty());
    ClickCheckBox(a2);
    EXPECT_EQ(Checked(a2), 0);
    ASSERT_FALSE(events.boxClicks.empty());
    EXPECT_EQ(events.boxClicks.back(), std::make_pair(a2, UINT{0}));
}

}  // namespace
