#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "ControlHandlers.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFQTComboBox.h"
#include "Widgets/SFQTEditCtrl.h"
#include "Widgets/SFQTGroupBox.h"
#include "Widgets/SFQTListBox.h"
#include "Widgets/SFQTPictureCtrl.h"
#include "Widgets/SFQTStatic.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

class ParentedTest : public ::testing::Test {
protected:
    void SetUp() override { dialog.reset(SFCreateDialog(&owner, nullptr)); }
    void* Parent() const { return owner.GetUIWnd(); }

    ControlOwnerEvent owner;
    std::unique_ptr<CSFDialog> dialog;
};

class ComboBoxTest : public ParentedTest {
protected:
    void SetUp() override
    {
        ParentedTest::SetUp();
        combo = static_cast<CSFQTComboBox*>(SFCreateComboBox(&events));
        combo->Create(WS_VISIBLE, tagRECT{0, 0, 120, 25}, Parent(), 31);
    }
    RecordingComboEvent events;
    CSFQTComboBox* combo = nullptr;
};

TEST_F(ComboBoxTest, AddingStaysSilentWhileSelectingReports)
{
    EXPECT_EQ(combo->AddString(L"1x"), 0);
    EXPECT_EQ(combo->AddString(L"2x"), 1);
    EXPECT_EQ(combo->AddString(L"4x"), 2);
    EXPECT_EQ(combo->GetCurSel(), 0) << "the first item became current";
    EXPECT_TRUE(events.changes.empty());

    EXPECT_EQ(combo->SetCurSel(2), 2);
    EXPECT_EQ(events.changes, (std::vector<std::pair<int, int>>{{31, 2}}));
    EXPECT_EQ(combo->SetCurSel(3), -1);
    EXPECT_EQ(combo->SetCurSel(-1), -1);
    EXPECT_EQ(combo->GetCurSel(), 2);
}

TEST_F(ComboBoxTest, UserSelectionReports)
{
    combo->AddString(L"a");
    combo->AddString(L"b");
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(events.changes, (std::vector<std::pair<int, int>>{{31, 1}}));
}

TEST_F(ComboBoxTest, DeletingTheCurrentItemIsSilent)
{
    combo->AddString(L"a");
    combo->AddString(L"b");
    EXPECT_EQ(combo->DeleteString(0), 1);
    EXPECT_EQ(combo->DeleteString(5), -1);
    EXPECT_TRUE(events.changes.empty());
    EXPECT_EQ(combo->GetCount(), 1);
}

TEST_F(ComboBoxTest, ItemTextIsBoundedAndTerminated)
{
    combo->AddString(L"Speed");
    wchar_t buffer[8];
    EXPECT_EQ(combo->GetLBText(0, buffer, 8), 5);
    EXPECT_EQ(std::wstring(buffer), L"Speed");
    EXPECT_EQ(combo->GetLBText(0, buffer, 3), 2);
    EXPECT_EQ(std::wstring(buffer), L"Sp");
    EXPECT_EQ(combo->GetLBText(1, buffer, 8), -1);
}

TEST_F(ComboBoxTest, SkinPiecesKeepTheirRectanglesAndTheDrawingFollowsTheState)
{
    combo->grab();  // nothing given: text only
    EXPECT_EQ(combo->PieceToDraw(), -1);
    ImageComboBoxStyle skin;
    skin.str1 = L"0,0,99,24";
    skin.str2 = L"0,25,99,24";
    skin.str8 = L"stretch";
    ASSERT_EQ(combo->SetSkin(&skin), 1);
    EXPECT_EQ(combo->Piece(0).source.right, 99);
    EXPECT_EQ(combo->Piece(0).stretch, 1);
    ImageComboBoxStyle second;  // empty rectangle texts keep the pieces
    combo->SetSkin(&second);
    EXPECT_EQ(combo->Piece(1).source.top, 25);
    EXPECT_EQ(combo->Piece(1).used, 1);
    EXPECT_EQ(combo->PieceToDraw(), CSFQTComboBox::PieceNormal);
    EXPECT_FALSE(combo->styleSheet().isEmpty());
    combo->grab();
}

TEST(EditCtrlTest, ReportsTextChangesAndTheEndOfEditing)
{
    RecordingEditEvent events;
    std::unique_ptr<CSFQTEditCtrl> edit(static_cast<CSFQTEditCtrl*>(SFCreateEditCtrl(&events)));
    edit->Create(0, tagRECT{0, 0, 100, 20}, nullptr, 41);
    edit->SetWindowTextW(L"cam");
    EXPECT_EQ(events.changes, (std::vector<std::wstring>{L"41:cam"}));
    QTest::keyClick(edit.get(), Qt::Key_Return);
    EXPECT_EQ(events.finished, (std::vector<std::wstring>{L"41:cam"}));
    wchar_t buffer[3];
    EXPECT_EQ(edit->GetWindowTextW(buffer, 3), 2);
    EXPECT_EQ(std::wstring(buffer), L"ca");
    EXPECT_EQ(edit->SetSkin(L"missing.png"), 1);
    EXPECT_EQ(edit->SetSkin(nullptr), 0);
}

TEST(ListBoxTest, RowsAndSelectionWithBoundedText)
{
    RecordingListBoxEvent events;
    std::unique_ptr<CSFQTListBox> list(static_cast<CSFQTListBox*>(SFCreateListBox(&events)));
    list->Create(WS_VISIBLE, tagRECT{0, 0, 100, 100}, nullptr, 51);
    EXPECT_EQ(list->AddString(L"first"), 0);
    EXPECT_EQ(list->AddString(L"second"), 1);
    EXPECT_EQ(list->SetCurSel(1), 1);
    EXPECT_EQ(list->SetCurSel(-1), -1);
    EXPECT_EQ(list->GetCurSel(), 1);
    wchar_t buffer[4];
    EXPECT_EQ(list->GetText(1, buffer, 4), 3);
    EXPECT_EQ(std::wstring(buffer), L"sec");
    EXPECT_EQ(list->GetText(2, buffer, 4), -1);
    EXPECT_EQ(list->DeleteString(0), 1);
    EXPECT_EQ(list->DeleteString(7), -1);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(events.calls, (std::vector<std::string>{"down", "up"}));
    EXPECT_EQ(list->GetCurSel(), 0) << "the mouse does not select";
}

TEST_F(ParentedTest, StaticGrowsToItsTextAndNeverShrinks)
{
    auto* label = static_cast<CSFQTStatic*>(SFCreateStatic(nullptr));
    label->Create(L"Speed", WS_VISIBLE, tagRECT{10, 10, 110, 40}, Parent(), 61);
    const int fontHeight = QFontMetrics(label->font()).height();
    EXPECT_EQ(label->y(), 10 + (30 - fontHeight) / 2) << "starts at the text's top";
    EXPECT_EQ(label->height(), 30);
    EXPECT_EQ(label->width(), 100);

    label->SetStaticText(L"A much longer text than the label was made for");
    const int grown = label->width();
    EXPECT_GT(grown, 100);
    label->SetStaticText(L"x");
    EXPECT_EQ(label->width(), grown);

    wchar_t buffer[3];
    EXPECT_EQ(label->GetStaticText(buffer, 3), 0);
    EXPECT_EQ(std::wstring(buffer), L"x");
    label->SetStaticText(L"xyz");
    label->GetStaticText(buffer, 3);
    EXPECT_EQ(std::wstring(buffer), L"xy");
}

TEST(StaticTest, DrawTextFlagsBecomeQtFlags)
{
    EXPECT_EQ(CSFQTStatic::TextFlagsFromDrawText(0), 0x1);
    EXPECT_EQ(CSFQTStatic::TextFlagsFromDrawText(DT_RIGHT | DT_CENTER), 0x2);
    EXPECT_EQ(CSFQTStatic::TextFlagsFromDrawText(DT_CENTER | DT_VCENTER), 0x84);
    EXPECT_EQ(CSFQTStatic::TextFlagsFromDrawText(DT_WORDBREAK), 0x1201);
    EXPECT_EQ(CSFQTStatic::TextFlagsFromDrawText(DT_WORDBREAK | DT_SINGLELINE), 0x301);
    CSFQTStatic label(nullptr);
    label.SetTextAlignFlag(DT_CENTER);
    EXPECT_EQ(label.GetTextAlignFlag(), 0x4u);
    label.SetTextColor(0x0000FF);
    EXPECT_EQ(label.TextColor(), QColor(255, 0, 0));
}

TEST(PictureCtrlTest, MissingImageShowsOnlyTheCaption)
{
    QTemporaryDir dir;
    SFQTSetSkinPath(dir.path() + "/");
    std::unique_ptr<CSFQTPictureCtrl> picture(static_cast<CSFQTPictureCtrl*>(SFCreatePictureCtrl(nullptr)));
    picture->Create(L"Logo", 0, tagRECT{0, 0, 60, 30}, nullptr, 71);
    picture->SetImage(L"missing.png");
    EXPECT_TRUE(picture->Image().isNull());
    EXPECT_EQ(picture->Caption(), "Logo");
    picture->grab();
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::yellow);
    image.save(dir.path() + "/logo.png");
    picture->SetImage(L"logo.png");
    EXPECT_EQ(picture->grab().toImage().pixelColor(1, 1), QColor(Qt::yellow));
    EXPECT_EQ(picture->GetHWnd(), static_cast<void*>(static_cast<QWidget*>(picture.get())));
}

TEST(GroupBoxTest, CreatesWithTitleAndCopiesItBounded)
{
    std::unique_ptr<CSFQTGroupBox> group(static_cast<CSFQTGroupBox*>(SFCreateGroupBox(nullptr)));
    EXPECT_EQ(group->Create(L"Export", WS_VISIBLE, tagRECT{0, 0, 100, 50}, nullptr, 81), 1);
    EXPECT_EQ(group->title(), "Export");
    wchar_t buffer[4];
    EXPECT_EQ(group->GetWindowTextW(buffer, 4), 3);
    EXPECT_EQ(std::wstring(buffer), L"Exp");
    EXPECT_EQ(group->CreateUtf8("Größe", 0, tagRECT{0, 0, 10, 10}, nullptr, 0), 1);
    EXPECT_EQ(group->title(), QString::fromUtf8("Größe"));
}

}  // namespace

namespace {

TEST(ComboBoxScreenTest, AnOpenListThatDoesNotFitBelowUsesTheAbovePiece)
{
    std::unique_ptr<CSFQTComboBox> combo(static_cast<CSFQTComboBox*>(SFCreateComboBox(nullptr)));
    ImageComboBoxStyle skin;
    skin.str1 = L"0,0,99,24";
    skin.str3 = L"0,50,99,24";
    skin.str4 = L"0,75,99,24";
    combo->SetSkin(&skin);
    for (int i = 0; i < 10; ++i)
        combo->AddString(std::to_wstring(i).c_str());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    combo->setGeometry(0, 0, 120, 25);
    combo->show();
    combo->move(0, screen.bottom() - 30 - 25);
    combo->showPopup();
    EXPECT_EQ(combo->GetState(), CSFQTComboBox::StateListOpen);
    EXPECT_EQ(combo->PieceToDraw(), CSFQTComboBox::PieceListAbove);
    combo->hidePopup();
    combo->move(0, 0);
    combo->showPopup();
    EXPECT_EQ(combo->PieceToDraw(), CSFQTComboBox::PieceListBelow);
    combo->hidePopup();
    EXPECT_EQ(combo->PieceToDraw(), CSFQTComboBox::PieceNormal);
}

}  // namespace
