#include "Platform/PlayModule/Output/ShownPictures.h"

#include <gtest/gtest.h>

using PLAY_MODULE::CShownPictures;
using PLAY_MODULE::PlanarPicture;

// Pictures are made in buffers no receiver holds, and buffers let go are
// made in again instead of new ones.
TEST(ShownPictures, ANewPictureNeverGoesIntoOneAReceiverHolds)
{
    CShownPictures pictures;
    std::vector<std::shared_ptr<PlanarPicture>> held;
    for (int i = 0; i < 6; ++i) {
        PlanarPicture& next = pictures.Spare();
        for (const auto& picture : held)
            EXPECT_NE(picture.get(), &next) << i;
        next.timeMs = i;
        pictures.ShowSpare();
        EXPECT_EQ(&next, pictures.Shown().get());
        held.push_back(pictures.Shown());
    }
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(i, held[std::size_t(i)]->timeMs);
    EXPECT_GE(4u, pictures.Count());
}

TEST(ShownPictures, BuffersLetGoAreMadeInAgain)
{
    CShownPictures pictures;
    std::vector<const PlanarPicture*> made;
    for (int i = 0; i < 20; ++i) {
        PlanarPicture& next = pictures.Spare();
        made.push_back(&next);
        pictures.ShowSpare();
        std::shared_ptr<PlanarPicture> receiver = pictures.Shown();  // let go before the next
    }
    EXPECT_EQ(1u, pictures.Count());
    EXPECT_EQ(made[1], made[0]);
}

// A picture made ahead of its time leaves the shown one as it is, even when
// no receiver holds it.
TEST(ShownPictures, APictureMadeAheadGoesBesideTheShownOne)
{
    CShownPictures pictures;
    pictures.Spare().timeMs = 1;
    pictures.ShowSpare();
    PlanarPicture& ahead = pictures.Spare(true);
    EXPECT_NE(pictures.Shown().get(), &ahead);
    ahead.timeMs = 2;
    EXPECT_EQ(1, pictures.Shown()->timeMs);
    pictures.ShowSpare();
    EXPECT_EQ(2, pictures.Shown()->timeMs);
}
