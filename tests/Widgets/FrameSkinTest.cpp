#include <gtest/gtest.h>

#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "SkinFixture.h"
#include "TestHandlers.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTDialog.h"
#include "Widgets/SFQTFrameSkin.h"

namespace {

class FrameSkinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = std::make_unique<CSFQTDialog>(&handler, nullptr, Qt::WindowFlags());
        style = SkinFixture::StandardStyle();
    }

    void SkinAndShow(int w, int h)
    {
        dialog->SetSkin(&style);
        dialog->MoveWindow(100, 100, w, h);
        dialog->show();
        QCoreApplication::processEvents();
    }

    void Mouse(QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        const QPoint global = dialog->mapToGlobal(local);
        QMouseEvent event(type, QPointF(local), QPointF(global), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(dialog.get(), &event);
    }

    SkinFixture skin;
    RecordingDialogEvent handler;
    std::unique_ptr<CSFQTDialog> dialog;
    DialogStyle style;
};

TEST_F(FrameSkinTest, ParsesTheStandardRecord)
{
    SFQTFrameSkin parsed;
    parsed.Parse(style, true);
    EXPECT_EQ(parsed.frameImage.size(), QSize(148, 140));
    EXPECT_TRUE(parsed.backgroundImage.isNull());
    EXPECT_EQ(parsed.minimumSize, QSize(148, 140));
    EXPECT_EQ(parsed.pieces[SFQTFrameSkin::TitleLeft], QRect(0, 0, 10, 27));
    EXPECT_EQ(parsed.pieces[SFQTFrameSkin::RightUpper], QRect(147, 27, 1, 80));
    EXPECT_EQ(parsed.buttonSource[0][SFQTFrameSkin::StateOver], QRect(41, 41, 23, 14));
    EXPECT_EQ(parsed.buttonDest[0], QRect(QPoint(-28, 7), QPoint(-6, 20)));
    EXPECT_FALSE(parsed.buttonDest[1].isValid());
    EXPECT_EQ(parsed.caption, QRect(10, 0, 1000, 27));
    EXPECT_EQ(parsed.titleAlign, 0);
}

TEST_F(FrameSkinTest, ButtonsCountedFromTheRightFollowResizes)
{
    SkinAndShow(400, 300);
    QRect close = dialog->Chrome().Skin().buttonDest[0];
    EXPECT_EQ(close.left(), 372);
    EXPECT_EQ(close.right(), 394);
    dialog->MoveWindow(100, 100, 500, 300);
    QCoreApplication::processEvents();
    close = dialog->Chrome().Skin().buttonDest[0];
    EXPECT_EQ(close.left(), 472);
    EXPECT_EQ(close.right(), 494);
    EXPECT_EQ(dialog->Chrome().Skin().caption, QRect(0, 0, 500, 27));
    ASSERT_FALSE(handler.sizes.empty());
    EXPECT_EQ(handler.sizes.back(), std::make_pair(500, 300));
}

TEST_F(FrameSkinTest, SmallWindowShowsTheFrameImageCorner)
{
    SkinAndShow(100, 60);
    const QImage composed = dialog->Chrome().Composed().toImage();
    const QImage frame = dialog->Chrome().Skin().frameImage.toImage();
    ASSERT_EQ(composed.size(), QSize(100, 60));
    EXPECT_EQ(composed.pixel(50, 45), frame.pixel(50, 45));
}

TEST_F(FrameSkinTest, ComposedFrameHasPiecesAtTheEdgesAndBackgroundInside)
{
    SFQTFrameSkin parsed;
    style.str3 = L"336699";
    parsed.Parse(style, true);
    const QImage image = SFQTComposeFramePixmap(parsed, 400, 300).toImage();
    const QRgb frameColour = qRgb(10, 20, 30);
    EXPECT_EQ(image.pixel(0, 0), frameColour);       // title-left
    EXPECT_EQ(image.pixel(200, 5), frameColour);     // title-middle tiles
    EXPECT_EQ(image.pixel(399, 299), frameColour);   // bottom-right
    EXPECT_EQ(image.pixel(0, 150), frameColour);     // left edge
    EXPECT_EQ(image.pixel(399, 150), frameColour);   // right edge
    EXPECT_EQ(image.pixel(200, 150), qRgb(0x33, 0x66, 0x99));  // background colour
}

TEST_F(FrameSkinTest, ZeroSizedPiecesDoNotHang)
{
    SFQTFrameSkin parsed;
    style.str6 = L"30,0,0,27";
    style.str18 = L"";
    parsed.Parse(style, true);
    const QPixmap composed = SFQTComposeFramePixmap(parsed, 640, 480);
    EXPECT_EQ(composed.size(), QSize(640, 480));
}

TEST_F(FrameSkinTest, HugePieceSizesComposeWithoutOverflow)
{
    SFQTFrameSkin parsed;
    style.str4 = L"0,0,10,2147483647";           // title-left: as high as a number goes
    style.str6 = L"10,0,2147483647,27";          // title-middle: as wide
    style.str10 = L"0,27,1,2147483647";          // left-upper
    style.str12 = L"0,27,1,2147483647";          // left-middle
    style.str16 = L"0,0,2147483647,2147483647";  // bottom-left
    style.str18 = L"0,0,2147483647,2147483647";  // bottom-middle
    style.str24 = L"0,0,2147483647,2147483647";  // right-middle
    style.str26 = L"0,0,1,2147483647";           // right-upper
    parsed.Parse(style, true);
    const QPixmap composed = SFQTComposeFramePixmap(parsed, 640, 480);
    EXPECT_EQ(composed.size(), QSize(640, 480));
}

TEST_F(FrameSkinTest, HugeButtonCaptionAndCornerValuesSurviveResizeAndDrag)
{
    style.str44 = L"2147483600,7,23,14";  // close button far right
    style.str54 = L"0,0,1000,2147483647";  // caption as high as a number goes
    style.str56 = L"2147483647,2147483647";
    SkinAndShow(400, 300);
    dialog->SetSizeRoundCorner(L"2147483647,-2147483648");
    dialog->MoveWindow(100, 100, 500, 300);
    QCoreApplication::processEvents();
    // Drag the window far off the bottom left and let go there.
    Mouse(QEvent::MouseButtonPress, QPoint(50, 10), Qt::LeftButton, Qt::LeftButton);
    const QPoint far = dialog->mapToGlobal(QPoint(50, 10)) + QPoint(-5000, 5000);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(dialog->mapFromGlobal(far)), QPointF(far),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, QPointF(dialog->mapFromGlobal(far)), QPointF(far), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog.get(), &move);
    QCoreApplication::sendEvent(dialog.get(), &release);
    EXPECT_FALSE(dialog->Chrome().IsDragging());
    EXPECT_EQ(dialog->Chrome().Composed().size(), QSize(500, 300));
}

TEST_F(FrameSkinTest, HugeInitialSizesAreCentredWithoutOverflow)
{
    for (const wchar_t* size : {L"-2147483648,-2147483648", L"2147483647,2147483647"}) {
        style.str57 = size;
        dialog->SetSkin(&style);
        dialog->CenterWindow(nullptr);
        EXPECT_GE(dialog->Chrome().Skin().minimumSize.width(), -(1 << 20));
    }
}

TEST_F(FrameSkinTest, DraggedByTheCaption)
{
    SkinAndShow(400, 300);
    const QPoint start = dialog->pos();
    Mouse(QEvent::MouseButtonPress, QPoint(50, 10), Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(dialog->Chrome().IsDragging());
    Mouse(QEvent::MouseMove, QPoint(90, 40), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(dialog->pos(), start + QPoint(40, 30));
    Mouse(QEvent::MouseButtonRelease, QPoint(50, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(dialog->Chrome().IsDragging());
}

TEST_F(FrameSkinTest, PressBelowTheCaptionDoesNotDrag)
{
    SkinAndShow(400, 300);
    const QPoint start = dialog->pos();
    Mouse(QEvent::MouseButtonPress, QPoint(50, 100), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, QPoint(90, 140), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(dialog->pos(), start);
}

TEST_F(FrameSkinTest, PressOnAButtonCancelsTheDragAndReleaseCloses)
{
    SkinAndShow(400, 300);
    QSignalSpy closeSpy(dialog.get(), &CSFQTDialog::sgnClose);
    Mouse(QEvent::MouseButtonPress, QPoint(380, 10), Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(dialog->Chrome().IsDragging());
    EXPECT_EQ(dialog->Chrome().HoveredButton(), 1);
    EXPECT_EQ(dialog->Chrome().ButtonState(), SFQTFrameSkin::StateDown);
    Mouse(QEvent::MouseButtonRelease, QPoint(380, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(closeSpy.count(), 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(FrameSkinTest, HoverWithoutButtonsMarksTheButton)
{
    SkinAndShow(400, 300);
    Mouse(QEvent::MouseMove, QPoint(380, 10), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(dialog->Chrome().HoveredButton(), 1);
    EXPECT_EQ(dialog->Chrome().ButtonState(), SFQTFrameSkin::StateOver);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(dialog.get(), &leave);
    EXPECT_EQ(dialog->Chrome().HoveredButton(), 0);
}

TEST_F(FrameSkinTest, RoundMaskFollowsTheRadii)
{
    style.str56 = L"6,6";
    SkinAndShow(200, 100);
    const QRegion mask = dialog->mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_TRUE(mask.contains(QPoint(100, 50)));
    EXPECT_TRUE(mask.contains(QPoint(6, 0)));
    dialog->SetSizeRoundCorner(L"0,0");
    dialog->MoveWindow(100, 100, 201, 100);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialog->mask().contains(QPoint(0, 0)));
}

TEST_F(FrameSkinTest, CentredTitleOfZeroWidth)
{
    style.str53 = L"center";
    SkinAndShow(300, 200);
    dialog->SetWindowTextW(L"");
    ASSERT_NE(dialog->Chrome().TitleLabel(), nullptr);
    EXPECT_EQ(dialog->Chrome().TitleLabel()->x(), 149);
    EXPECT_EQ(dialog->Chrome().TitleLabel()->y(), 8);
    dialog->SetWindowTextW(L"Prompt");
    EXPECT_EQ(dialog->Chrome().TitleLabel()->text(), QStringLiteral("Prompt"));
}

TEST_F(FrameSkinTest, WithoutFrameImageNothingIsComposed)
{
    style.str0 = L"Missing.png";
    SkinAndShow(300, 200);
    EXPECT_TRUE(dialog->Chrome().Composed().isNull());
    EXPECT_TRUE(handler.sizes.empty());
    QTest::qWait(1);
    dialog->repaint();  // paints by default without a crash
}

TEST_F(FrameSkinTest, InitialSizeFromTheSkinIsAppliedAndCentred)
{
    style.str57 = L"320,240";
    dialog->SetSkin(&style);
    EXPECT_EQ(dialog->size(), QSize(320, 240));
    EXPECT_EQ(dialog->Chrome().Skin().minimumSize, QSize(320, 240));
}

}  // namespace

TEST(FrameSkinTiling, EdgePiecesRepeatAtTheirOwnSizeToTheEnd)
{
    QImage source(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            source.setPixel(x, y, qRgba(30 * x, 30 * y, 90, 255));
    SFQTFrameSkin skin;
    skin.frameImage = QPixmap::fromImage(source);
    skin.pieces[SFQTFrameSkin::TitleMiddle] = QRect(2, 0, 3, 2);  // 20 is no multiple of 3
    skin.pieces[SFQTFrameSkin::LeftMiddle] = QRect(0, 4, 2, 3);
    const QImage composed = SFQTComposeFramePixmap(skin, 20, 16).toImage();
    for (int x = 2; x < 20; ++x)
        EXPECT_EQ(composed.pixel(x, 1), source.pixel(2 + x % 3, 1)) << x;
    for (int y = 2; y < 16; ++y)
        EXPECT_EQ(composed.pixel(1, y), source.pixel(1, 4 + y % 3)) << y;
    EXPECT_EQ(composed.pixel(10, 8), qRgb(0, 0, 0));  // the background inside
}

// Cutting the corners from a small shape gives what testing the whole
// window pixel by pixel gives.
TEST(FrameRoundMask, HoldsThePixelsOfTheWholeDrawnShapeAtEverySizeAndRadius)
{
    const QSize sizes[] = {{1000, 730}, {301, 136}, {40, 30}, {13, 9}, {4, 4}, {1, 1}};
    for (const QSize size : sizes) {
        for (const QPoint radii : {QPoint(0, 0), QPoint(1, 1), QPoint(3, 5), QPoint(6, 6), QPoint(10, 10),
                                   QPoint(17, 4), QPoint(30, 30)}) {
            const QRegion cut = SFQTRoundMaskRegion(size.width(), size.height(), radii.x(), radii.y());
            const QRegion whole = SFQTDrawnRoundRect(size.width(), size.height(), radii.x(), radii.y());
            EXPECT_TRUE(cut.xored(whole).isEmpty()) << size.width() << "x" << size.height() << " radii "
                                                    << radii.x() << "," << radii.y();
        }
    }
}
