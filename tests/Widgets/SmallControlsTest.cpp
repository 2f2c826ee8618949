#include <gtest/gtest.h>

#include <QTest>

#include <memory>

#include "ControlHandlers.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFQTChildWnd.h"
#include "Widgets/SFQTFrame.h"
#include "Widgets/SFQTNumSpiner.h"
#include "Widgets/SFQTProgressCtrl.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

TEST(ControlFactoryTest, EveryControlKindHasItsQtForm)
{
    std::unique_ptr<CSFCheckBox> check(SFCreateCheckBox(nullptr));
    std::unique_ptr<CSFRadioBox> radio(SFCreateRadioBox(nullptr));
    std::unique_ptr<CSFEditCtrl> edit(SFCreateEditCtrl(nullptr));
    std::unique_ptr<CSFComboBox> combo(SFCreateComboBox(nullptr));
    std::unique_ptr<CSFListBox> listBox(SFCreateListBox(nullptr));
    std::unique_ptr<CSFGroupBox> group(SFCreateGroupBox(nullptr));
    std::unique_ptr<CSFStatic> label(SFCreateStatic(nullptr));
    std::unique_ptr<CSFPictureCtrl> picture(SFCreatePictureCtrl(nullptr));
    std::unique_ptr<CSFSliderCtrl> slider(SFCreateSliderCtrl(nullptr));
    std::unique_ptr<CSFProgressCtrl> progress(SFCreateProgressCtrl(nullptr));
    std::unique_ptr<CSFListCtrl> list(SFCreateListCtrl(nullptr));
    std::unique_ptr<CSFTreeCtrl> tree(SFCreateTreeCtrl(nullptr));
    std::unique_ptr<CSFDateTimeCtrl> dateTime(SFCreateDateTimeCtrl(nullptr, 1));
    std::unique_ptr<CSFNumSpiner> spinner(SFCreateNumSpiner(nullptr));
    std::unique_ptr<CSFImagePanel> panel(SFCreateImagePanel(nullptr));
    std::unique_ptr<CSFFrameWnd> frame(SFCreateFrameWnd(nullptr));
    std::unique_ptr<CSFChildWnd> child(SFCreateChildWnd(nullptr));
    for (const void* made : {static_cast<const void*>(check.get()), static_cast<const void*>(radio.get()),
                             static_cast<const void*>(edit.get()), static_cast<const void*>(combo.get()),
                             static_cast<const void*>(listBox.get()), static_cast<const void*>(group.get()),
                             static_cast<const void*>(label.get()), static_cast<const void*>(picture.get()),
                             static_cast<const void*>(slider.get()), static_cast<const void*>(progress.get()),
                             static_cast<const void*>(list.get()), static_cast<const void*>(tree.get()),
                             static_cast<const void*>(dateTime.get()), static_cast<const void*>(spinner.get()),
                             static_cast<const void*>(panel.get()), static_cast<const void*>(frame.get()),
                             static_cast<const void*>(child.get())})
        EXPECT_NE(made, nullptr);
    // Handler-less controls accept their operations.
    slider->SetPos(3);
    tree->InsertItem(L"x", SF_TVI_ROOT, SF_TVI_LAST);
    list->InsertItem(0, L"no columns");
    EXPECT_EQ(list->GetItemCount(), 1);
    panel->AddItem(L"/nowhere.png", L"n", L"", L"", L"");
}

TEST(ProgressCtrlTest, StepsChangeNothingAndTheSkinIsAStyleSheet)
{
    SFQTSetSkinPath("/skin/");
    std::unique_ptr<CSFQTProgressCtrl> bar(static_cast<CSFQTProgressCtrl*>(SFCreateProgressCtrl(nullptr)));
    bar->Create(WS_VISIBLE, tagRECT{0, 0, 200, 16}, nullptr, 5);
    bar->SetRange(0, 50);
    bar->SetPos(20);
    EXPECT_EQ(bar->SetStep(5), 0);
    EXPECT_EQ(bar->StepIt(), 0);
    EXPECT_EQ(bar->GetPos(), 20);
    int min = -1, max = -1;
    bar->GetRange(min, max);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 50);
    EXPECT_EQ(bar->ModifyStyleEx(0, 1, 0), 1);

    ImageProgressCtrlStyle skin;
    skin.str0 = L"bar.png";
    EXPECT_EQ(bar->SetSkin(&skin), 1);
    EXPECT_EQ(bar->styleSheet(), "QProgressBar { border: 1px solid grey;border-radius: 5px;background-image: "
                                 "url(/skin/);} QProgressBar::chunk {background-image: url(/skin/bar.png);}");
    EXPECT_EQ(bar->SetSkin(nullptr), 0);
    bar->SetTextVisible(0);
    EXPECT_FALSE(bar->isTextVisible());
}

TEST(NumSpinerTest, ReportsEveryChangeWithItsId)
{
    RecordingSpinnerEvent events;
    std::unique_ptr<CSFQTNumSpiner> spinner(static_cast<CSFQTNumSpiner*>(SFCreateNumSpiner(&events)));
    spinner->SetCurrentNum(1);
    EXPECT_EQ(events.changes, (std::vector<std::pair<UINT, int>>{{4294967295u, 1}})) << "before Create: id -1";
    spinner->Create(L"", tagRECT{0, 0, 80, 24}, nullptr, 12);
    spinner->SetRange(1, 5);
    spinner->SetCurrentNum(1);
    EXPECT_EQ(events.changes.size(), 1u) << "the same value is no change";
    spinner->SetCircleStep(1);
    spinner->SetCurrentNum(5);
    spinner->StepUp();
    EXPECT_EQ(spinner->GetCurrentNum(), 1) << "wraps to the minimum";
    EXPECT_EQ(events.changes.back(), std::make_pair(12u, 1));
    EXPECT_EQ(spinner->size(), QSize(80, 24));
    tagRECT rect{0, 0, 80, 24};
    spinner->MoveWindow(&rect);
    EXPECT_EQ(spinner->size(), QSize(81, 25));
}

TEST(NumSpinerTest, SkinRulesNameTheirImages)
{
    SFQTSetSkinPath("/skin/");
    ImageNumSpinerStyle skin;
    skin.str0 = L"spiner_time_normal.png";
    skin.str8 = L"up_button_normal.png";
    skin.str3 = L"down_button_press.png";
    const QString sheet = CSFQTNumSpiner::SkinStyleSheet(skin);
    EXPECT_TRUE(sheet.startsWith("QSpinBox { padding: 0 8px; border-image: url(/skin/spiner_time_normal.png);}"));
    EXPECT_TRUE(sheet.contains("QSpinBox::up-button:hover {border-image: url(/skin/up_button_normal.png);}"));
    EXPECT_TRUE(sheet.contains("QSpinBox::down-button:pressed {border-image: url(/skin/down_button_press.png);}"));
    EXPECT_TRUE(sheet.contains("QSpinBox::down-button {width: 21px; border-image: url(/skin/);}"));
}

TEST(FrameWindowTest, RegistersItselfAsItsHandlersWindow)
{
    RecordingFrameEvent events;
    std::unique_ptr<CSFFrameWnd> frame(SFCreateFrameWnd(&events));
    EXPECT_EQ(events.GetUIWnd(), static_cast<void*>(frame.get()));
    EXPECT_EQ(frame->GetUIWnd(), static_cast<void*>(frame.get()));
    EXPECT_EQ(frame->Create(L"cls", L"Title", 0, tagRECT{5, 5, 105, 55}, nullptr, nullptr, 0, nullptr), 1);
    auto* qt = static_cast<CSFQTFrame*>(frame.get());
    EXPECT_EQ(qt->windowTitle(), "Title");
    EXPECT_EQ(qt->geometry(), QRect(5, 5, 100, 50));
    EXPECT_EQ(frame->CreateChildWnd(), nullptr);

    std::unique_ptr<CSFFrameWnd> lone(SFCreateFrameWnd(nullptr));
    EXPECT_EQ(lone->GetUIWnd(), nullptr);
}

TEST(ChildWindowTest, TakesItsTitleAndVisibility)
{
    RecordingChildWndEvent events;
    std::unique_ptr<CSFChildWnd> child(SFCreateChildWnd(&events));
    EXPECT_EQ(events.GetUIWnd(), static_cast<void*>(child.get()));
    EXPECT_EQ(child->Create(0, "Überblick", 1), 1);
    auto* qt = static_cast<CSFQTChildWnd*>(child.get());
    EXPECT_EQ(qt->windowTitle(), QString::fromUtf8("Überblick"));
    EXPECT_TRUE(qt->isVisible());
    child->ShowWindow(0);
    EXPECT_FALSE(qt->isVisible());
}

}  // namespace
