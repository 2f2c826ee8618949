#include <QImage>
#include <QTest>

#include "SearchPageFixture.h"
#include "Search/SearchTimeLinePopDlgEventImp.h"
#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "VideoWidgets/SFQTVideoWindow.h"
#include "VideoWidgets/SFQtPlayProgressPanel.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFQTButton.h"
#include "Widgets/SFQTDateTimeCtrl.h"
#include "Widgets/SFQTImagePanel.h"
#include "Widgets/SFQTPictureCtrl.h"
#include "Widgets/SFQTProgressCtrl.h"
#include "Widgets/SFQTRadioBox.h"
#include "Widgets/SFQTSliderCtrl.h"
#include "Widgets/SFQTStatic.h"
#include "Widgets/SFQTTreeCtrl.h"

namespace {

enum class Shade { Black, White };

// The colour of a button's text, told from its pure white and pure black pixels.
Shade TextShade(QWidget* button)
{
    const QImage image = button->grab().toImage();
    int white = 0, black = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            white += c.red() >= 235 && c.green() >= 235 && c.blue() >= 235;
            black += c.red() <= 20 && c.green() <= 20 && c.blue() <= 20;
        }
    return white > black ? Shade::White : Shade::Black;
}

}  // namespace

class SearchPageBehaviourTest : public SearchPageTest {
protected:
    void SetUp() override
    {
        SearchPageTest::SetUp();
        ResizePage(1000, 640);
    }

    QWidget* StartDetect() { return Find<CSFQTButton>(PageWidget(), 515); }
    QWidget* PlayerButton(UINT id) { return Find<CSFQTButton>(PlayerWidget(), id); }
    CSFQTRadioBox* Radio(QWidget* within, UINT id) { return Find<CSFQTRadioBox>(within, id); }
    QString SpeedText() { return Find<CSFQTStatic>(PlayerWidget(), 505)->text(); }
    QList<CSFQTDateTimeCtrl*> Pickers() { return PageWidget()->findChildren<CSFQTDateTimeCtrl*>(); }
    QWidget* PopUp() { return static_cast<QWidget*>(page->GetTimeLine()->GetPopUp()->GetDialog()->GetUIWnd()); }

    // Everything the page's form shows besides the toggles' own state.
    void ExpectFormUntouched()
    {
        const auto pickers = Pickers();
        ASSERT_EQ(pickers.size(), 4);
        EXPECT_FALSE(pickers[0]->isEnabled());  // start date
        EXPECT_FALSE(pickers[1]->isEnabled());  // end date
        EXPECT_TRUE(pickers[2]->isEnabled());
        EXPECT_TRUE(pickers[3]->isEnabled());
        EXPECT_EQ(Radio(PageWidget(), 514)->GetCheck(), 1);
        EXPECT_EQ(PageWidget()->findChild<CSFQTTreeCtrl*>()->GetCount(), 0u);
        EXPECT_EQ(PageWidget()->findChild<CSFQTImagePanel*>()->GetCount(), 0);
        auto* progress = PageWidget()->findChild<CSFQTProgressCtrl*>();
        EXPECT_EQ(progress->value(), 0);
        EXPECT_EQ(progress->maximum(), 100);
        EXPECT_EQ(SpeedText(), "1X");
        EXPECT_EQ(PlayerWidget()->findChild<CSFQTSliderCtrl*>()->value(), 40);
        EXPECT_EQ(TextShade(StartDetect()), Shade::Black);
        EXPECT_EQ(TextShade(PlayerButton(507)), Shade::Black);
        EXPECT_FALSE(PopUp()->isVisible());
    }
};

TEST_F(SearchPageBehaviourTest, StartsAsAnEmptyFormWithItsTexts)
{
    ExpectFormUntouched();
    const auto pickers = Pickers();
    EXPECT_EQ(pickers[0]->displayFormat(), "yyyy-MM-dd");
    EXPECT_EQ(pickers[2]->displayFormat(), "h:mm:ss");
    EXPECT_EQ(static_cast<QPushButton*>(StartDetect())->text(), "Start Detect");
    EXPECT_EQ(static_cast<QPushButton*>(PlayerButton(507))->text(), "Export");
    EXPECT_EQ(Radio(PageWidget(), 514)->text(), "MD");
    EXPECT_FALSE(PlayerWidget()->findChild<CSFQTVideoWindow*>()->SubWinCtrlsVisible());
}

TEST_F(SearchPageBehaviourTest, PopUpExistsHiddenWithItsPicture)
{
    QWidget* popUp = PopUp();
    EXPECT_EQ(popUp->size(), QSize(138, 100));
    EXPECT_FALSE(popUp->isVisible());
    auto* picture = popUp->findChild<CSFQTPictureCtrl*>();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->geometry(), QRect(0, 0, 136, 98));
}

TEST_F(SearchPageBehaviourTest, SpeedLabelNamesTheSliderPosition)
{
    const std::pair<int, const char*> speeds[] = {{0, "1/16X"}, {9, "1/16X"}, {10, "1/8X"}, {39, "1/2X"},
                                                  {40, "1X"},   {79, "8X"},   {80, "16X"},  {90, ""}};
    for (const auto& [position, text] : speeds) {
        page->GetPlayer()->SF_OnSliderPos(506, position);
        EXPECT_EQ(SpeedText(), text) << position;
    }
    auto* slider = PlayerWidget()->findChild<CSFQTSliderCtrl*>();
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() - 1, slider->height() / 2));
    EXPECT_EQ(SpeedText(), "16X");
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(0, slider->height() / 2));
    EXPECT_EQ(SpeedText(), "1/16X");
}

TEST_F(SearchPageBehaviourTest, HeldButtonsWhitenOnlyTheirPageText)
{
    struct Case {
        QWidget* pressed;
        QWidget* whitened;
        QWidget* other;
    };
    const Case cases[] = {{StartDetect(), StartDetect(), PlayerButton(507)},
                          {PlayerButton(503), PlayerButton(507), StartDetect()},
                          {PlayerButton(504), PlayerButton(507), StartDetect()},
                          {PlayerButton(507), PlayerButton(507), StartDetect()}};
    for (const Case& c : cases) {
        QTest::mousePress(c.pressed, Qt::LeftButton);
        EXPECT_EQ(TextShade(c.whitened), Shade::White);
        EXPECT_EQ(TextShade(c.other), Shade::Black);
        QTest::mouseRelease(c.pressed, Qt::LeftButton);
        EXPECT_EQ(TextShade(c.whitened), Shade::Black);
    }
}

TEST_F(SearchPageBehaviourTest, ClicksAndEditsPostNothingAndChangeNoOtherControl)
{
    QuietLoops loops;
    auto* panel = TimeLineWidget()->findChild<CSFQTPlayProgressPanel*>();
    QWidget* clicked[] = {StartDetect(),
                          PlayerButton(507),
                          PlayerButton(503),
                          PlayerButton(504),
                          Radio(PlayerWidget(), 501),
                          Radio(PlayerWidget(), 502),
                          Radio(PageWidget(), 514),
                          PageWidget()->findChild<CSFQTTreeCtrl*>()->viewport(),
                          Pickers()[0],
                          Pickers()[2],
                          panel->DrawingWidget()};
    for (QWidget* widget : clicked) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
        QApplication::processEvents();
    }
    const QTime startTime = Pickers()[2]->time();
    QTest::keyClick(Pickers()[2], Qt::Key_Up);
    QApplication::processEvents();
    EXPECT_NE(Pickers()[2]->time(), startTime);
    EXPECT_TRUE(loops.NothingPosted());
    EXPECT_EQ(host->calls, 0);
    ExpectFormUntouched();
    EXPECT_EQ(Radio(PlayerWidget(), 501)->GetCheck(), 1);  // the toggles keep their own state
    EXPECT_EQ(Radio(PlayerWidget(), 502)->GetCheck(), 1);
}

TEST(SearchPageCreation, PageStartsHiddenUnderTheMainWindow)
{
    QWidget window;
    window.show();
    auto page = CSeachViewEventImp::Create(boost::make_shared<PageHostDouble>(), &window);
    QWidget* view = WidgetOf(page->GetView());
    EXPECT_EQ(view->parentWidget(), &window);
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(view->size(), QSize(1000, 640));
}

TEST(SearchPageCreation, DroppingThePageBeforeTheMainWindowTakesItsViewAlong)
{
    QWidget window;
    window.show();
    auto page = CSeachViewEventImp::Create(boost::make_shared<PageHostDouble>(), &window);
    page->GetView()->ShowWindow(1);
    page.reset();
    EXPECT_TRUE(window.findChildren<QWidget*>().isEmpty());
    window.resize(800, 600);
    QApplication::processEvents();
}
