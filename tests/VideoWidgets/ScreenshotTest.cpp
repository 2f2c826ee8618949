#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>

#include "GridTestSupport.h"
#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "VideoWidgets/SFQTVideoWindow.h"
#include "VideoWidgets/SFQTVideoWindowPlayWnd.h"
#include "VideoWidgets/SFQTVideoWindowSubWnd.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SkinStyles.h"

// Renders a 16-window grid with test frames and a time line with segments
// to PNG files in the build folder for a person to look at.
namespace {

QString ShotPath(const char* name)
{
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    return QStringLiteral(SCREENSHOT_DIR "/") + name;
}

// Colour bars with the cell number, as 32-bit R, G, B, X bytes.
QImage TestPicture(int number, int w, int h)
{
    QImage image(w, h, QImage::Format_RGBX8888);
    const QColor bars[] = {Qt::white, Qt::yellow, Qt::cyan, Qt::green, Qt::magenta, Qt::red, Qt::blue, Qt::black};
    QPainter painter(&image);
    for (int i = 0; i < 8; ++i)
        painter.fillRect(QRect(i * w / 8, 0, w / 8 + 1, h * 2 / 3), bars[i]);
    QLinearGradient ramp(0, 0, w, 0);
    ramp.setColorAt(0, Qt::black);
    ramp.setColorAt(1, Qt::white);
    painter.fillRect(QRect(0, h * 2 / 3, w, h / 3), ramp);
    QFont font = painter.font();
    font.setPixelSize(h / 4);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, w, h * 2 / 3), Qt::AlignCenter, QString::number(number));
    return image;
}

// The same picture as planar 4:2:0 laid out Y, U, V (BT.601 limited range).
std::vector<BYTE> ToYuv(const QImage& rgb)
{
    const int w = rgb.width(), h = rgb.height(), cw = w / 2, ch = h / 2;
    std::vector<BYTE> out(static_cast<size_t>(w) * h + 2 * static_cast<size_t>(cw) * ch);
    BYTE* u = out.data() + w * h;
    BYTE* v = u + cw * ch;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QColor c = rgb.pixelColor(x, y);
            out[y * w + x] = static_cast<BYTE>(16 + (66 * c.red() + 129 * c.green() + 25 * c.blue() + 128) / 256);
            if (x % 2 == 0 && y % 2 == 0 && x / 2 < cw && y / 2 < ch) {
                u[(y / 2) * cw + x / 2] = static_cast<BYTE>(128 + (-38 * c.red() - 74 * c.green() + 112 * c.blue() + 128) / 256);
                v[(y / 2) * cw + x / 2] = static_cast<BYTE>(128 + (112 * c.red() - 94 * c.green() - 18 * c.blue() + 128) / 256);
            }
        }
    return out;
}

}  // namespace

TEST(Screenshot, SixteenWindowGrid)
{
    RecordingGridHandler handler;
    CSFQTVideoWindow grid(VIDEOWINDOWMODE_NORMAL, &handler, 8, 8);
    ASSERT_EQ(1, grid.Create(L"grid", tagRECT{0, 0, 960, 720}, nullptr, 1));
    grid.EnableSubWinAnimation(0);
    const QString savedSkin = SFQTGetSkinPath();
    SFQTSetSkinPath(QStringLiteral(SKIN_DIR));
    ImageVideoWindowStyle skin;
    skin.str0 = L"NoVideo.png";
    skin.str1 = skin.str2 = L"btn_videoclose.png";
    skin.str3 = L"btn_videoclosedown.png";
    skin.str4 = skin.str5 = L"btn_videosnap.png";
    skin.str6 = L"btn_videosnapdown.png";
    skin.str7 = skin.str9 = L"btn_propertynor.png";
    skin.str8 = L"btn_propertydown.png";
    skin.str10 = L"btn_videorecordcheck.png";
    skin.str11 = L"btn_videorecord.png";
    skin.str12 = L"16,16";
    skin.str13 = L"363e4d";
    skin.str14 = L"353b48";
    skin.str18 = L"4698ed";
    skin.str19 = L"2";
    skin.str20 = L"4";
    skin.str21 = L"Loading...";
    skin.str22 = L"Replay";
    grid.SetSkin(&skin);
    SFQTSetSkinPath(savedSkin);
    grid.SetDefaultLayout(LAYOUT_16, nullptr);
    grid.show();
    for (int id = 0; id < 14; ++id) {
        grid.SetSubWinVideoByID(id, 1);
        const QImage picture = TestPicture(id, 352, 288);
        if (id % 2 == 0) {
            QImage bytes = picture.copy();
            grid.RenderSubWin(id, bytes.bits(), RENDER_DATA_QIMAGE, 352, 288);
        } else {
            auto yuv = ToYuv(picture);
            grid.RenderOffScreenSurface(id, yuv.data(), 352, 288, 0, 0);
        }
    }
    grid.SetSubWinVideoByID(14, 1);  // waiting for its first frame; 15 stays empty
    grid.SetFocusSubWin(5);
    CSFQTVideoWindowPlayWnd* hovered = grid.CellAt(5)->GetPlayWnd();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), hovered->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(hovered, &enter);
    const QImage shot = grid.grab().toImage();
    ASSERT_TRUE(shot.save(ShotPath("video-grid-16.png")));
    // Cell 0 (Qt path) and cell 1 (renderer) both show their white bar at the left.
    const QRect c0 = grid.CellAt(0)->geometry(), c1 = grid.CellAt(1)->geometry();
    const QColor w0 = shot.pixelColor(c0.left() + 8, c0.center().y() - 20);
    const QColor w1 = shot.pixelColor(c1.left() + 8, c1.center().y() - 20);
    EXPECT_GT(w0.red() + w0.green() + w0.blue(), 600);
    EXPECT_GT(w1.red() + w1.green() + w1.blue(), 600);
    // The red bar stays red through the renderer (chroma planes in order).
    const QRect p1 = grid.CellAt(1)->GetPlayWnd()->geometry().translated(c1.topLeft());
    const QColor red = shot.pixelColor(p1.left() + p1.width() * 11 / 16, p1.top() + 8);
    EXPECT_GT(red.red(), 180);
    EXPECT_LT(red.blue(), 80);
}

TEST(Screenshot, TimeLineWithSegments)
{
    setenv("TZ", "UTC", 1);
    tzset();
    constexpr int day = 1710028800, hour = 3600;
    CSFQTPlayProgressPanel panel(nullptr);
    panel.Create(nullptr, nullptr, 0, tagRECT{0, 0, 1001, 101}, nullptr, 1);
    SetPlayProgressPanelLayout(&panel, 1000, 100);
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, QColor(200, 200, 200));
    panel.setPalette(palette);
    panel.setAutoFillBackground(true);
    const std::vector<std::vector<std::pair<int, int>>> spans = {
        {{day + 1 * hour, day + 3 * hour}, {day + 8 * hour, day + 12 * hour}},
        {{day + 5 * hour, day + 9 * hour}},
        {{day + 13 * hour, day + 18 * hour}, {day + 23 * hour, day + 25 * hour}},
        {{day + 0 * hour, day + 6 * hour}, {day + 20 * hour, day + 22 * hour}},
    };
    for (int ch = 0; ch < 4; ++ch) {
        UISF_Channel record;
        record.channel = ch;
        record.name = L"Channel " + std::to_wstring(ch + 1);
        int id = ch * 10;
        for (const auto& [s, e] : spans[ch])
            record.segments.push_back({id++, s, e, 1});
        panel.SetChannelRecord(record);
    }
    panel.SetPlayTime(0, day + 10 * hour + 1234);
    panel.SetPlayTime(2, day + 15 * hour);
    panel.SetHighlightChannel(2);
    panel.EnableCutMarks(true);
    panel.SetCutMarkTime(0, day + 14 * hour);
    panel.SetCutMarkTime(1, day + 16 * hour);
    panel.show();
    const QImage shot = panel.grab().toImage();
    ASSERT_TRUE(shot.save(ShotPath("time-line-day.png")));
    // A segment of channel 1 at 10:00 is green.
    const QColor segment = shot.pixelColor(156 + 10 * 802 / 24 - 20, 10 + 20);
    EXPECT_GT(segment.green(), segment.red());
    panel.SetZoomFactor(5);
    panel.CenterOnTime(day + 9 * hour);
    ASSERT_TRUE(panel.grab().toImage().save(ShotPath("time-line-zoom5.png")));
    panel.EnableCutMarks(false);
    panel.SetSingleRecordView(0, true);
    ASSERT_TRUE(panel.grab().toImage().save(ShotPath("time-line-single.png")));
}
