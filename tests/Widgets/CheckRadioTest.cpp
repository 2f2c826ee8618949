#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#include "ControlHandlers.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFQTCheckBox.h"
#include "Widgets/SFQTRadioBox.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

class RadioBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.reset(SFCreateDialog(&owner, nullptr));
        radio = static_cast<CSFQTRadioBox*>(SFCreateRadioBox(&events));
        radio->Create(L"Grid", WS_VISIBLE, tagRECT{10, 10, 90, 40}, owner.GetUIWnd(), ControlOwnerEvent::kRadioId);
    }

    ControlOwnerEvent owner;
    RecordingRadioEvent events;
    std::unique_ptr<CSFDialog> dialog;
    CSFQTRadioBox* radio = nullptr;  // owned by the dialog
};

TEST_F(RadioBoxTest, ReleaseInsideTogglesThenReportsAndSendsTheCommand)
{
    QTest::mouseClick(radio, Qt::LeftButton, Qt::NoModifier, QPoint(5, 6));
    EXPECT_EQ(radio->GetCheck(), 1);
    EXPECT_EQ(events.clicks, (std::vector<RecordingRadioEvent::Click>{{1, 21, 5, 6}}));
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"cmd:21"}));

    QTest::mouseClick(radio, Qt::LeftButton, Qt::NoModifier, QPoint(7, 8));
    EXPECT_EQ(radio->GetCheck(), 0) << "a checked radio box unchecks on a click";
    ASSERT_EQ(events.clicks.size(), 2u);
    EXPECT_EQ(events.clicks[1], (RecordingRadioEvent::Click{0, 21, 7, 8}));
}

// Runs an action when clicked, e.g. closing the window that holds the radio box.
class ActingRadioEvent : public ISFRadioBoxEvent {
public:
    void RADIO_OnClicked(int, int, tagPOINT) override { onClick(); }
    std::function<void()> onClick;
};

TEST_F(RadioBoxTest, ClickHandlerMayDestroyTheWindowThatHoldsTheRadioBox)
{
    ActingRadioEvent acting;
    auto* choice = static_cast<CSFQTRadioBox*>(SFCreateRadioBox(&acting));
    choice->Create(L"Close", WS_VISIBLE, tagRECT{0, 0, 20, 20}, owner.GetUIWnd(), 22);
    acting.onClick = [&] { dialog.reset(); };
    QTest::mouseClick(choice, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(dialog, nullptr);
}

TEST_F(RadioBoxTest, ReleaseOutsideChangesNothing)
{
    QTest::mousePress(radio, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(radio->GetState(), CSFQTRadioBox::StatePressed);
    QTest::mouseRelease(radio, Qt::LeftButton, Qt::NoModifier, QPoint(300, 5));
    EXPECT_EQ(radio->GetCheck(), 0);
    EXPECT_TRUE(events.clicks.empty());
    EXPECT_TRUE(owner.calls.empty());
    EXPECT_EQ(radio->GetState(), CSFQTRadioBox::StateNormal);
}

TEST_F(RadioBoxTest, SetCheckIsSilent)
{
    radio->SetCheck(5);
    EXPECT_EQ(radio->GetCheck(), 1);
    radio->SetCheck(0);
    EXPECT_EQ(radio->GetCheck(), 0);
    EXPECT_TRUE(events.clicks.empty());
    EXPECT_TRUE(owner.calls.empty());
}

TEST_F(RadioBoxTest, TextCopyIsBoundedAndTerminated)
{
    radio->SetWindowTextW(L"Hello");
    wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_EQ(radio->GetWindowTextW(buffer, 3), 2);
    EXPECT_EQ(std::wstring(buffer), L"He");
    EXPECT_EQ(buffer[3], L'x') << "nothing written past the given size";
    EXPECT_EQ(radio->GetWindowTextW(buffer, 0), 0);
}

TEST_F(RadioBoxTest, AlignmentAndGeometry)
{
    radio->SetTextAlign(DT_CENTER | DT_RIGHT);
    EXPECT_EQ(radio->TextFlags(), 0x186);
    radio->SetTextAlign(0);
    EXPECT_EQ(radio->TextFlags(), 0x180);
    EXPECT_EQ(radio->geometry(), QRect(10, 10, 80, 30));
    tagRECT rect{0, 0, 10, 10};
    radio->MoveWindow(&rect);
    EXPECT_EQ(radio->size(), QSize(11, 11));
    tagRECT client{};
    radio->GetRadioClientRect(&client);
    EXPECT_EQ(client.right, 10);
    EXPECT_EQ(client.bottom, 10);
}

TEST_F(RadioBoxTest, DrawsTheImageOfItsCheckedStateAndWorksWithoutImages)
{
    radio->grab();  // no images: Qt's own look, no crash
    QTemporaryDir dir;
    SFQTSetSkinPath(dir.path() + "/");
    QImage on(20, 20, QImage::Format_ARGB32);
    on.fill(Qt::red);
    on.save(dir.path() + "/on.png");
    QImage off(20, 20, QImage::Format_ARGB32);
    off.fill(Qt::blue);
    off.save(dir.path() + "/off.png");
    ImageRadioBox skin;
    skin.str0 = skin.str1 = skin.str2 = skin.str6 = L"on.png";
    skin.str3 = skin.str4 = skin.str5 = skin.str7 = L"off.png";
    EXPECT_EQ(radio->SetSkin(&skin), 1);
    EXPECT_EQ(radio->SetSkin(nullptr), 0);
    radio->SetCheck(1);
    EXPECT_EQ(radio->grab().toImage().pixelColor(3, 15), QColor(Qt::red));
    radio->SetCheck(0);
    EXPECT_EQ(radio->grab().toImage().pixelColor(3, 15), QColor(Qt::blue));
}

class CheckBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.reset(SFCreateDialog(&owner, nullptr));
        check = static_cast<CSFQTCheckBox*>(SFCreateCheckBox(&events));
        check->Create("Sync", WS_VISIBLE, tagRECT{0, 0, 40, 20}, owner.GetUIWnd(), ControlOwnerEvent::kCheckId);
        dialog->ShowWindow(1);
    }

    ControlOwnerEvent owner;
    RecordingCheckEvent events;
    std::unique_ptr<CSFDialog> dialog;
    CSFQTCheckBox* check = nullptr;
};

TEST_F(CheckBoxTest, ClickTogglesAndSendsTheCommand)
{
    QTest::mouseClick(check, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    int checked = -1;
    EXPECT_EQ(check->GetCheck(&checked), 0);
    EXPECT_EQ(checked, 1);
    EXPECT_EQ(events.calls, (std::vector<std::string>{"down", "up"}));
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"cmd:22"}));
}

TEST_F(CheckBoxTest, ReleaseOutsideTogglesWithoutCommand)
{
    QTest::mousePress(check, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(check, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    EXPECT_TRUE(check->IsChecked());
    EXPECT_TRUE(owner.calls.empty());
}

TEST_F(CheckBoxTest, TextCopyIsTerminatedWithinTheBuffer)
{
    wchar_t buffer[3];
    EXPECT_EQ(check->GetWindowTextW(buffer, 3), 2);
    EXPECT_EQ(std::wstring(buffer), L"Sy");
}

TEST_F(CheckBoxTest, ImagesAreCutOrStretchedToTheWidget)
{
    QTemporaryDir dir;
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(Qt::green);
    image.setPixelColor(0, 0, Qt::red);
    const QString path = dir.path() + "/box.png";
    image.save(path);
    ImageCheckBox skin;
    const std::wstring name = path.toStdWString();
    skin.str0 = skin.str1 = skin.str2 = skin.str3 = skin.str4 = skin.str5 = skin.str6 = skin.str7 = name;
    ASSERT_EQ(check->SetSkin(&skin), 1);
    EXPECT_EQ(check->Image(0).size(), QSize(40, 20)) << "exactly the hover image's size: untouched";
    check->resize(39, 20);
    EXPECT_EQ(check->Image(0).size(), QSize(39, 20)) << "one pixel narrower: cut";
    check->resize(80, 50);
    EXPECT_EQ(check->Image(0).size(), QSize(80, 50)) << "larger: stretched";
    const QImage stretched = check->Image(0).toImage();
    EXPECT_EQ(stretched.pixelColor(0, 0), QColor(Qt::red)) << "corners are kept";
    EXPECT_EQ(stretched.pixelColor(40, 25), QColor(Qt::green));
}

}  // namespace
