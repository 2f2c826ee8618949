#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include "SkinFixture.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"

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

}  // namespace
