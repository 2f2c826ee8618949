#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include "SkinFixture.h"
#include "Support/Fifo.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTSkinImageCache.h"

namespace {

QImage Pixels(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage Filled(const QColor& colour)
{
    QImage image(12, 8, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

TEST(SkinImageCache, EveryControlOfOneNameSharesTheFilesPixels)
{
    SkinFixture skin;
    const QImage onDisk = QImage(skin.Path() + "/Frame.png").convertToFormat(QImage::Format_ARGB32);
    QPixmap normal;
    SFQTLoadSkinImageIfNamed(normal, L"Frame.png");
    const QPixmap other = SFQTLoadSkinImage(L"Frame.png");
    ASSERT_FALSE(normal.isNull());
    EXPECT_EQ(normal.cacheKey(), other.cacheKey());
    EXPECT_EQ(Pixels(normal), onDisk);
    EXPECT_EQ(Pixels(other), onDisk);
}

TEST(SkinImageCache, NamesWithoutAnImageStayNull)
{
    SkinFixture skin;
    Fifo fifo((skin.Path() + "/Pipe.png").toStdString());
    ASSERT_TRUE(fifo.IsValid());
    EXPECT_TRUE(ReturnsHereWithoutBlocking(fifo, [] { EXPECT_TRUE(SFQTLoadSkinImage(L"Pipe.png").isNull()); }));
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(SFQTLoadSkinImage(L"missing.png").isNull());
        EXPECT_TRUE(SFQTLoadSkinImage(L"").isNull());
        EXPECT_TRUE(SFQTLoadSkinImage(L"0,0,100,24").isNull());
    }
    QPixmap kept = SFQTLoadSkinImage(L"Frame.png");
    SFQTLoadSkinImageIfNamed(kept, L"");
    EXPECT_FALSE(kept.isNull());
}

TEST(SkinImageCache, AnotherSkinFolderGivesItsOwnImages)
{
    QTemporaryDir red, blue;
    Filled(Qt::red).save(red.path() + "/Button.png");
    Filled(Qt::blue).save(blue.path() + "/Button.png");
    SFQTSetSkinPath(red.path() + "/");
    EXPECT_EQ(Pixels(SFQTLoadSkinImage(L"Button.png")), Filled(Qt::red));
    SFQTSetSkinPath(blue.path() + "/");
    EXPECT_EQ(Pixels(SFQTLoadSkinImage(L"Button.png")), Filled(Qt::blue));
}

TEST(SkinImageCache, PrefetchedPicturesAreThoseOfTheFiles)
{
    QTemporaryDir dir;
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, Qt::magenta};
    for (int i = 0; i < 6; ++i)
        Filled(colours[i]).save(dir.path() + QStringLiteral("/Pic%1.png").arg(i));
    SFQTSetSkinPath(dir.path() + "/");
    SFPrefetchSkinImages();
    for (int i = 5; i >= 0; --i) {
        const std::wstring name = QStringLiteral("Pic%1.png").arg(i).toStdWString();
        EXPECT_EQ(Pixels(SFQTLoadSkinImage(name)), Filled(colours[i])) << i;
    }
    EXPECT_TRUE(SFQTLoadSkinImage(L"missing.png").isNull());
    SFUninitApp();
    EXPECT_EQ(Pixels(SFQTLoadSkinImage(L"Pic0.png")), Filled(colours[0]));
}

TEST(SkinImageCache, PicturesMadeReadyOnAWorkerGiveTheSamePixmapsAsQtMakes)
{
    const CSFQTSkinImageCache::PixmapFormats formats = CSFQTSkinImageCache::ProbePixmapFormats();
    QImage translucent = Filled(Qt::red);
    translucent.setPixel(3, 2, qRgba(10, 200, 30, 128));
    QImage gray(12, 8, QImage::Format_Grayscale8);
    gray.fill(90);
    QImage indexed = Filled(Qt::blue).convertToFormat(QImage::Format_Indexed8);
    const QImage kinds[] = {Filled(Qt::green), Filled(Qt::green).convertToFormat(QImage::Format_RGB32),
                            translucent, translucent.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                            gray, indexed, Filled(Qt::blue).convertToFormat(QImage::Format_RGB888)};
    for (const QImage& kind : kinds) {
        const QPixmap byQt = QPixmap::fromImage(kind);
        QImage ready = kind;
        const bool prepared = CSFQTSkinImageCache::ToPixmapFormat(ready, formats);
        const QPixmap taken = QPixmap::fromImage(ready, prepared ? Qt::NoOpaqueDetection : Qt::AutoColor);
        EXPECT_EQ(taken.hasAlphaChannel(), byQt.hasAlphaChannel()) << kind.format();
        EXPECT_EQ(taken.toImage().format(), byQt.toImage().format()) << kind.format();
        EXPECT_EQ(taken.toImage(), byQt.toImage()) << kind.format();
    }
}

}  // namespace
