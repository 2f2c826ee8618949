#include <QMessageLogContext>

#include "SearchPageFixture.h"
#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "VideoWidgets/SFQTVideoWindow.h"
#include "VideoWidgets/SFQtPlayProgressPanel.h"
#include "Widgets/SFQTButton.h"
#include "Widgets/SFQTDateTimeCtrl.h"
#include "Widgets/SFQTImagePanel.h"
#include "Widgets/SFQTProgressCtrl.h"
#include "Widgets/SFQTRadioBox.h"
#include "Widgets/SFQTSliderCtrl.h"
#include "Widgets/SFQTStatic.h"
#include "Widgets/SFQTTreeCtrl.h"

namespace {

// Labels and the video window take a rectangle's right and bottom as
// outside; every other control (and view) as inside.
enum class Edge { Inside, Outside };

QRect Placed(Edge edge, int l, int t, int r, int b)
{
    const int d = edge == Edge::Inside ? 0 : 1;
    return QRect(QPoint(l, t), QPoint(r - d, b - d));
}

QWidget* Label(QWidget* page, const char* text)
{
    for (QLabel* label : page->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label->text() == QLatin1String(text))
            return label;
    return nullptr;
}

struct PageRect {
    const char* control;
    Edge edge;
    int small[4];  // at 1000 x 640
    int large[4];  // at 1280 x 900
};

const PageRect kPageRects[] = {
    {"player", Edge::Inside, {30, 50, 570, 410}, {30, 50, 850, 670}},
    {"Video Preview", Edge::Outside, {30, 13, 110, 37}, {30, 13, 110, 37}},
    {"tree", Edge::Inside, {615, 50, 955, 260}, {895, 50, 1235, 520}},
    {"Files", Edge::Outside, {615, 13, 695, 37}, {895, 13, 975, 37}},
    {"Event List", Edge::Outside, {30, 416, 110, 440}, {30, 676, 110, 700}},
    {"Start Date", Edge::Outside, {615, 273, 665, 297}, {895, 533, 945, 557}},
    {"start date", Edge::Inside, {670, 273, 770, 297}, {950, 533, 1050, 557}},
    {"Start Time", Edge::Outside, {785, 273, 835, 297}, {1065, 533, 1115, 557}},
    {"start time", Edge::Inside, {840, 273, 940, 297}, {1120, 533, 1220, 557}},
    {"End Time", Edge::Outside, {785, 310, 835, 334}, {1065, 570, 1115, 594}},
    {"end time", Edge::Inside, {840, 310, 940, 334}, {1120, 570, 1220, 594}},
    {"End Date", Edge::Outside, {615, 310, 665, 334}, {895, 570, 945, 594}},
    {"end date", Edge::Inside, {670, 310, 770, 334}, {950, 570, 1050, 594}},
    {"Search type", Edge::Outside, {615, 347, 680, 371}, {895, 607, 960, 631}},
    {"MD", Edge::Inside, {685, 347, 775, 371}, {965, 607, 1055, 631}},
    {"progress", Edge::Inside, {615, 389, 825, 400}, {895, 649, 1105, 660}},
    {"Start Detect", Edge::Inside, {838, 381, 938, 409}, {1118, 641, 1218, 669}},
    {"event list", Edge::Inside, {30, 446, 955, 534}, {30, 706, 1235, 794}},
    {"time line", Edge::Inside, {0, 540, 1000, 640}, {0, 800, 1280, 900}},
};

int g_warnings = 0;
void CountWarnings(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        ++g_warnings, fprintf(stderr, "warning: %s\n", qPrintable(text));
}

}  // namespace

class SearchPageLayoutTest : public SearchPageTest {
protected:
    QWidget* Control(const std::string& name)
    {
        QWidget* p = PageWidget();
        const auto pickers = p->findChildren<CSFQTDateTimeCtrl*>(Qt::FindDirectChildrenOnly);
        if (name == "player")
            return PlayerWidget();
        if (name == "time line")
            return TimeLineWidget();
        if (name == "tree")
            return p->findChild<CSFQTTreeCtrl*>();
        if (name == "progress")
            return p->findChild<CSFQTProgressCtrl*>();
        if (name == "event list")
            return p->findChild<CSFQTImagePanel*>();
        if (name == "MD")
            return Find<CSFQTRadioBox>(p, 514);
        if (name == "Start Detect")
            return Find<CSFQTButton>(p, 515);
        const char* pickerNames[] = {"start date", "end date", "start time", "end time"};
        for (int i = 0; i < 4; ++i)
            if (name == pickerNames[i])
                return pickers.value(i);
        return Label(p, name.c_str());
    }

    void ExpectPageRects(bool large)
    {
        for (const PageRect& row : kPageRects) {
            const int* r = large ? row.large : row.small;
            QWidget* control = Control(row.control);
            ASSERT_NE(control, nullptr) << row.control;
            EXPECT_EQ(control->geometry(), Placed(row.edge, r[0], r[1], r[2], r[3])) << row.control;
        }
    }
};

TEST_F(SearchPageLayoutTest, ControlsFollowThePageAtTwoSizes)
{
    ResizePage(1000, 640);
    ExpectPageRects(false);
    ResizePage(1280, 900);
    ExpectPageRects(true);
    ResizePage(1000, 640);
    ExpectPageRects(false);
}

TEST_F(SearchPageLayoutTest, PagesTooSmallForTheTablesNeitherCrashNorWarn)
{
    g_warnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler(CountWarnings);
    for (QSize size : {QSize(459, 429), QSize(300, 200), QSize(1, 1), QSize(0, 0)})
        ResizePage(size.width(), size.height());
    ResizePage(1000, 640);
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_warnings, 0);
    ExpectPageRects(false);
}

TEST_F(SearchPageLayoutTest, PlayerRowIsCentredAndMayStartLeftOfTheView)
{
    QWidget* player = PlayerWidget();
    struct Row {
        int cx;
        int x0;
    };
    for (Row row : {Row{600, 101}, Row{398, 0}, Row{301, -48}}) {
        page->GetPlayer()->GetView()->MoveWindow(30, 50, row.cx, 400);
        QApplication::processEvents();
        const int x0 = row.x0, cx = row.cx;
        EXPECT_EQ(player->findChild<CSFQTVideoWindow*>()->geometry(), Placed(Edge::Outside, 10, 10, cx - 10, 330));
        EXPECT_EQ(Find<CSFQTRadioBox>(player, 501)->geometry(), Placed(Edge::Inside, x0, 340, x0 + 49, 389));
        EXPECT_EQ(Find<CSFQTButton>(player, 503)->geometry(), Placed(Edge::Inside, x0 + 57, 349, x0 + 88, 380));
        EXPECT_EQ(Find<CSFQTButton>(player, 504)->geometry(), Placed(Edge::Inside, x0 + 96, 349, x0 + 127, 380));
        EXPECT_EQ(Find<CSFQTStatic>(player, 505)->geometry(), Placed(Edge::Outside, x0 + 135, 352, x0 + 165, 376));
        EXPECT_EQ(player->findChild<CSFQTSliderCtrl*>()->geometry(),
                  Placed(Edge::Inside, x0 + 165, 354, x0 + 281, 374));
        EXPECT_EQ(Find<CSFQTRadioBox>(player, 502)->geometry(), Placed(Edge::Inside, x0 + 289, 349, x0 + 320, 380));
        EXPECT_EQ(Find<CSFQTButton>(player, 507)->geometry(), Placed(Edge::Inside, cx - 130, 350, cx - 30, 378));
    }
}

TEST_F(SearchPageLayoutTest, TimeLinePanelFillsTheStripLaidOutForItsWidth)
{
    for (QSize size : {QSize(1000, 640), QSize(1280, 900)}) {
        ResizePage(size.width(), size.height());
        QWidget* strip = TimeLineWidget();
        auto* panel = strip->findChild<CSFQTPlayProgressPanel*>();
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(strip->geometry().bottom(), size.height());
        EXPECT_TRUE(panel->isVisible());
        EXPECT_TRUE(panel->geometry().contains(strip->rect()));
        EXPECT_EQ(panel->DrawingWidget()->width(), strip->width() - 25);
    }
}

TEST(SearchPageUncreated, ResizeBeforeTheControlsExistMovesNothing)
{
    auto host = boost::make_shared<PageHostDouble>();
    auto page = boost::make_shared<CSeachViewEventImp>(host);
    auto player = boost::make_shared<CSearchSimplePlayerEventImp>(page);
    auto timeLine = boost::make_shared<CSearchTimeLineViewImp>(page);
    page->OnSize(0, 1000, 640);
    player->OnSize(0, 400, 300);
    timeLine->OnSize(0, 1000, 100);
    EXPECT_EQ(page->GetView(), nullptr);
    EXPECT_EQ(host->calls, 0);
}
