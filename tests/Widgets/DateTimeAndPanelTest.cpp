#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "ControlHandlers.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFQTDateTimeCtrl.h"
#include "Widgets/SFQTImagePanel.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

_SF_SYSTEMTIME Date(int year, int month, int day)
{
    _SF_SYSTEMTIME value{};
    value.wYear = static_cast<WORD>(year);
    value.wMonth = static_cast<WORD>(month);
    value.wDay = static_cast<WORD>(day);
    return value;
}

_SF_SYSTEMTIME Time(int hour, int minute, int second)
{
    _SF_SYSTEMTIME value{};
    value.wHour = static_cast<WORD>(hour);
    value.wMinute = static_cast<WORD>(minute);
    value.wSecond = static_cast<WORD>(second);
    return value;
}

class DateTimeCtrlTest : public ::testing::Test {
protected:
    std::unique_ptr<CSFQTDateTimeCtrl> Make(int dateMode)
    {
        std::unique_ptr<CSFQTDateTimeCtrl> control(
            static_cast<CSFQTDateTimeCtrl*>(SFCreateDateTimeCtrl(&events, dateMode)));
        control->Create(0, tagRECT{0, 0, 120, 24}, nullptr, 601);
        return control;
    }
    RecordingDateTimeEvent events;
};

TEST_F(DateTimeCtrlTest, EveryChangeIsReportedOnce)
{
    auto control = Make(1);
    EXPECT_EQ(control->displayFormat(), "yyyy-MM-dd");
    _SF_SYSTEMTIME day = Date(2024, 2, 29);
    EXPECT_EQ(control->SetDate(&day), 1);
    ASSERT_EQ(events.times.size(), 1u);
    EXPECT_EQ(events.ids[0], 601u);
    EXPECT_EQ(events.times[0].wYear, 2024);
    EXPECT_EQ(events.times[0].wMonth, 2);
    EXPECT_EQ(events.times[0].wDay, 29);
    EXPECT_EQ(events.times[0].wDayOfWeek, 0);

    control->SetDate(&day);
    EXPECT_EQ(events.times.size(), 1u) << "the same date is no change";

    control->setFocus();
    QTest::keyClick(control.get(), Qt::Key_Up);  // the user steps the year
    ASSERT_EQ(events.times.size(), 2u);
    EXPECT_EQ(events.times[1].wYear, 2025);
}

TEST_F(DateTimeCtrlTest, TimeModeStillReportsTheDate)
{
    auto control = Make(0);
    EXPECT_EQ(control->displayFormat(), "h:mm:ss");
    _SF_SYSTEMTIME t = Time(13, 5, 9);
    EXPECT_EQ(control->SetTime(&t), 1);
    ASSERT_EQ(events.times.size(), 1u);
    EXPECT_EQ(events.times[0].wHour, 13);
    EXPECT_EQ(events.times[0].wSecond, 9);
    EXPECT_EQ(events.times[0].wYear, control->date().year());

    _SF_SYSTEMTIME out = Date(1999, 12, 31);
    out.wDayOfWeek = 5;
    out.wMilliseconds = 7;
    EXPECT_EQ(control->GetTime(&out), 1);
    EXPECT_EQ(out.wHour, 13);
    EXPECT_EQ(out.wMinute, 5);
    EXPECT_EQ(out.wYear, 1999) << "the date part of the record is left alone";
    EXPECT_EQ(out.wDayOfWeek, 5);
    EXPECT_EQ(out.wMilliseconds, 7);
}

namespace {

// Selects the whole field, types text as a keyboard does and leaves by Tab.
void TypeOver(CSFQTDateTimeCtrl& control, const char* text)
{
    control.setFocus();
    control.selectAll();
    for (const char* key = text; *key; ++key) {
        if (*key != ':') {
            QTest::keyClick(&control, *key);
            continue;
        }
        QTest::keyPress(&control, Qt::Key_Shift);  // as a keyboard types the colon
        QTest::keyClick(&control, ':', Qt::ShiftModifier);
        QTest::keyRelease(&control, Qt::Key_Shift);
    }
    QTest::keyClick(&control, Qt::Key_Tab);
}

}  // namespace

// Select all, type a whole time, Tab: the field holds what was typed; a
// digit that would put its field out of range is refused where it is typed,
// so "25:61:61" never turns into another time.
TEST_F(DateTimeCtrlTest, ATimeTypedOverTheWholeFieldIsTakenAsTyped)
{
    auto control = Make(0);
    control->show();
    const std::pair<const char*, const char*> cases[] = {
        {"10:39:00", "10:39:00"}, {"7:05:09", "7:05:09"}, {"23:59:59", "23:59:59"},
        {"8:00:10", "8:00:10"},   {"25:61:61", "2:06:06"}, {"243:607:1", "23:06:01"}};
    for (const auto& [typed, taken] : cases) {
        _SF_SYSTEMTIME eight = Time(8, 0, 0);
        control->SetTime(&eight);
        TypeOver(*control, typed);
        _SF_SYSTEMTIME shown{};
        control->GetTime(&shown);
        EXPECT_EQ(QTime(shown.wHour, shown.wMinute, shown.wSecond).toString("h:mm:ss").toStdString(), taken)
            << typed;
    }
}

// In a shown window, where leaving moves the focus: a time typed and left
// with Tab, then clicked into again and left by a click elsewhere, keeps
// every field typed.
TEST_F(DateTimeCtrlTest, ATypedTimeKeepsItsFieldsWhenLeftAndWhenEnteredAgain)
{
    QWidget window;
    auto control = Make(0);
    control->Create(0, tagRECT{0, 0, 120, 24}, &window, 601);
    QLineEdit other(&window);
    other.move(0, 40);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto shown = [&] {
        _SF_SYSTEMTIME clock{};
        control->GetTime(&clock);
        return QTime(clock.wHour, clock.wMinute, clock.wSecond).toString("h:mm:ss").toStdString();
    };
    for (const char* typed : {"10:33:30", "9:00:15", "10:00:03"}) {
        TypeOver(*control, typed);
        ASSERT_TRUE(other.hasFocus());
        EXPECT_EQ(shown(), typed) << "left with Tab";
        auto* text = control->findChild<QLineEdit*>();
        ASSERT_NE(text, nullptr);
        const int secondsAt = text->fontMetrics().horizontalAdvance(QString(typed).chopped(1)) + 4;
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(secondsAt, text->height() / 2));
        ASSERT_TRUE(control->hasFocus());
        EXPECT_EQ(control->currentSection(), QDateTimeEdit::SecondSection);
        QTest::mouseClick(&other, Qt::LeftButton);
        ASSERT_TRUE(other.hasFocus());
        EXPECT_EQ(shown(), typed) << "clicked into again and left";
    }
}

TEST_F(DateTimeCtrlTest, ADateTypedOverTheWholeFieldIsTakenAsTyped)
{
    auto control = Make(1);
    control->show();
    const std::pair<const char*, const char*> cases[] = {{"2026-03-12", "2026-03-12"}, {"2026-13-32", "2026-01-03"}};
    for (const auto& [typed, taken] : cases) {
        _SF_SYSTEMTIME day = Date(2024, 6, 1);
        control->SetDate(&day);
        TypeOver(*control, typed);
        _SF_SYSTEMTIME shown{};
        control->GetDate(&shown);
        EXPECT_EQ(QDate(shown.wYear, shown.wMonth, shown.wDay).toString("yyyy-MM-dd").toStdString(), taken) << typed;
    }
}

TEST_F(DateTimeCtrlTest, ImpossibleValuesAreRefused)
{
    auto control = Make(1);
    _SF_SYSTEMTIME bad = Date(2023, 2, 30);
    EXPECT_EQ(control->SetDate(&bad), 0);
    _SF_SYSTEMTIME late = Time(25, 0, 0);
    EXPECT_EQ(control->SetTime(&late), 0);
    EXPECT_EQ(control->SetDate(nullptr), 0);
    EXPECT_TRUE(events.times.empty());
}

TEST_F(DateTimeCtrlTest, SkinBecomesAStyleSheet)
{
    SFQTSetSkinPath("/skin/");
    ImageDateTimeStyle skin;
    skin.str1 = L"bg.png";
    skin.str6 = L"up.png";
    const QString sheet = CSFQTDateTimeCtrl::SkinStyleSheet(skin);
    EXPECT_TRUE(sheet.startsWith("QDateTimeEdit { padding: 0 8px; border-image: url(/skin/bg.png);}"));
    EXPECT_TRUE(sheet.contains("QDateTimeEdit::up-button:hover {border-image: url(/skin/up.png);}"));
    EXPECT_TRUE(sheet.endsWith("QDateTimeEdit::down-button:disabled {border-image: url(/skin/);}"));
    auto control = Make(1);
    EXPECT_EQ(control->SetSkin(&skin), 1);
    EXPECT_EQ(control->styleSheet(), sheet);
}

// A panel 800 wide: a 600-pixel image area and the 200-pixel information box.
class ImagePanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QImage image(100, 60, QImage::Format_ARGB32);
        image.fill(Qt::darkCyan);
        path = dir.path() + "/shot.png";
        image.save(path);
        panel.reset(static_cast<CSFQTImagePanel*>(SFCreateImagePanel(&events)));
        panel->Create(L"panel", tagRECT{0, 0, 800, 100}, nullptr, 0);
        UIImagePanelStyle skin;
        skin.str12 = L"202020";
        skin.n0 = 60;   // item height
        skin.n1 = 100;  // item width
        skin.n2 = 3;    // horizontal margin
        skin.n3 = 3;    // vertical margin
        skin.n4 = 3;    // gap
        ASSERT_EQ(panel->SetSkin(&skin), 1);
    }

    int Add(const QString& file, const wchar_t* name)
    {
        const std::wstring wide = file.toStdWString();
        return panel->AddItem(wide.c_str(), name, L"Snapshot", L"10:00:00", L"10:00:05");
    }

    QTemporaryDir dir;
    QString path;
    RecordingImagePanelEvent events;
    std::unique_ptr<CSFQTImagePanel> panel;
};

TEST_F(ImagePanelTest, HugeSkinSizesLayOutWithoutOverflow)
{
    UIImagePanelStyle skin;
    skin.n0 = 2147483647;  // item height
    skin.n1 = 2147483647;  // item width
    skin.n2 = 2147483647;  // horizontal margin
    skin.n3 = 2147483647;  // vertical margin
    skin.n4 = 2147483647;  // gap
    ASSERT_EQ(panel->SetSkin(&skin), 1);
    for (int i = 0; i < 3; ++i)
        Add(path, std::to_wstring(i).c_str());
    panel->show();
    QMouseEvent move(QEvent::MouseMove, QPointF(300, 30), panel->mapToGlobal(QPointF(300, 30)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel.get(), &move);
    panel->grab();
    EXPECT_GE(panel->ScrollBar()->maximum(), 0);
    EXPECT_EQ(panel->GetCount(), 3);
}

TEST_F(ImagePanelTest, RefusesTheSamePathAndName)
{
    EXPECT_EQ(Add(path, L"one"), 1);
    EXPECT_EQ(Add(path, L"one"), 0);
    EXPECT_EQ(Add(path, L"two"), 1);
    EXPECT_EQ(Add(dir.path() + "/other.png", L"one"), 1) << "a missing image is still an item";
    EXPECT_EQ(panel->GetCount(), 3);
    panel->DelByItemName(L"one");
    EXPECT_EQ(panel->GetCount(), 2);
    panel->ClearItems();
    EXPECT_EQ(panel->GetCount(), 0);
}

TEST_F(ImagePanelTest, CentresANarrowStrip)
{
    EXPECT_EQ(panel->ImageArea().width(), 600);
    Add(path, L"a");
    Add(path, L"b");
    Add(path, L"c");
    EXPECT_EQ(panel->ItemRect(0), QRect(147, 3, 100, 60));
    EXPECT_EQ(panel->ItemRect(1).left(), 250);
    EXPECT_EQ(panel->ItemRect(2).left(), 353);
    EXPECT_EQ(panel->ScrollBar()->maximum(), 0);
}

TEST_F(ImagePanelTest, AWideStripStartsAtTheLeftAndScrolls)
{
    for (int i = 0; i < 8; ++i)
        Add(path, std::to_wstring(i).c_str());
    // 8 * 100 + 7 * 3 + 6 = 827 pixels in a 600-pixel area.
    EXPECT_EQ(panel->ItemRect(0).left(), 3);
    EXPECT_EQ(panel->ScrollBar()->maximum(), 227);
    panel->ScrollBar()->setValue(100);
    EXPECT_EQ(panel->ItemRect(0).left(), -97);
}

TEST_F(ImagePanelTest, HoverFillsTheInformationAndDoubleClickPlays)
{
    Add(path, L"a");
    panel->show();
    EXPECT_EQ(panel->GetHotImagePath(), nullptr);
    QMouseEvent move(QEvent::MouseMove, QPointF(300, 30), panel->mapToGlobal(QPointF(300, 30)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel.get(), &move);
    EXPECT_EQ(panel->HoverIndex(), 0);
    panel->grab();
    EXPECT_EQ(panel->InfoValue(1), "a");
    EXPECT_EQ(panel->InfoValue(0), "Snapshot");

    QMouseEvent away(QEvent::MouseMove, QPointF(20, 30), panel->mapToGlobal(QPointF(20, 30)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel.get(), &away);
    EXPECT_EQ(panel->HoverIndex(), -1);
    panel->grab();
    EXPECT_EQ(panel->InfoValue(1), "");

    QTest::mouseDClick(panel.get(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 30));
    EXPECT_EQ(events.played, std::vector<std::wstring>{path.toStdWString()});
    ASSERT_NE(panel->GetHotImagePath(), nullptr);
    EXPECT_EQ(std::wstring(panel->GetHotImagePath()), path.toStdWString());

    panel->ClearItems();
    EXPECT_EQ(panel->GetHotImagePath(), nullptr) << "a hot index past the end names nothing";
    panel->grab();
}

TEST_F(ImagePanelTest, HotItemStaysTheSameWhenAnotherIsDeleted)
{
    const QString second = dir.path() + "/second.png";
    const QString third = dir.path() + "/third.png";
    QFile::copy(path, second);
    QFile::copy(path, third);
    Add(path, L"a");
    Add(second, L"b");
    Add(third, L"c");
    panel->show();
    QTest::mouseDClick(panel.get(), Qt::LeftButton, Qt::NoModifier, panel->ItemRect(1).center());
    ASSERT_NE(panel->GetHotImagePath(), nullptr);
    ASSERT_EQ(std::wstring(panel->GetHotImagePath()), second.toStdWString());
    panel->DelByItemName(L"a");
    ASSERT_NE(panel->GetHotImagePath(), nullptr);
    EXPECT_EQ(std::wstring(panel->GetHotImagePath()), second.toStdWString());
    panel->DelByItemName(L"b");
    EXPECT_EQ(panel->GetHotImagePath(), nullptr) << "the deleted hot item names nothing";
}

TEST_F(ImagePanelTest, ResizeShowsTheStripFromItsStartAndKeepsItScrollable)
{
    for (int i = 0; i < 8; ++i)
        Add(path, std::to_wstring(i).c_str());
    panel->ScrollBar()->setValue(200);
    panel->resize(700, 100);
    panel->grab();  // delivers the resize
    EXPECT_EQ(panel->ImageArea().width(), 500);
    EXPECT_EQ(panel->ScrollBar()->value(), 0);
    EXPECT_EQ(panel->ScrollBar()->maximum(), 327);
    EXPECT_EQ(panel->ScrollBar()->pageStep(), 700);
}

}  // namespace
