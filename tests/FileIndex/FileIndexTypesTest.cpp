#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <vector>

#include "FileIndex/FileIndexTypes.h"

using namespace FileIndexKeys;
using SF_SOFT_BASE::CSFDateTime;

TEST(ChannelKeyTest, PacksChannelAndStream)
{
    EXPECT_EQ(MakeChannelKey(3, 0), 3);
    EXPECT_EQ(MakeChannelKey(3, 2), (2 << 24) + 3);
    EXPECT_EQ(GetChannelNumber(MakeChannelKey(0xFFFFFF, 127)), 0xFFFFFF);
    EXPECT_EQ(GetStreamIndex(MakeChannelKey(0xFFFFFF, 127)), 127);
    EXPECT_GT(MakeChannelKey(kMaxChannel, kMaxStream), 0);
    EXPECT_FALSE(IsValidChannel(0));
    EXPECT_FALSE(IsValidChannel(kMaxChannel + 1));
    EXPECT_TRUE(IsValidStream(kMaxStream));
    EXPECT_FALSE(IsValidStream(kMaxStream + 1));
}

TEST(ChannelKeyTest, IndexOrderAndPublishingOrderDiffer)
{
    const int ch1 = MakeChannelKey(1, 0), ch2 = MakeChannelKey(2, 0), ch1x1 = MakeChannelKey(1, 1);
    std::vector<int> keys{ch1x1, ch2, ch1};
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<int>{ch1, ch2, ch1x1}));
    std::sort(keys.begin(), keys.end(), ChannelStreamKey());
    EXPECT_EQ(keys, (std::vector<int>{ch1, ch1x1, ch2}));
    EXPECT_FALSE(ChannelStreamKey()(ch1, ch1));
}

TEST(DayKeyTest, IsLocalMidnightOfTheDate)
{
    const CSFDateTime evening(2016, 1, 2, 23, 59, 59);
    const int key = GetDayKey(evening);
    EXPECT_EQ(key, CSFDateTime::MakeTime(2016, 1, 2, 0, 0, 0));
    CSFDateTime back;
    back.FromTime(static_cast<std::uint32_t>(key));
    EXPECT_EQ(back, CSFDateTime(2016, 1, 2, 0, 0, 0));
}

TEST(FileIdTest, CounterOnlyGrows)
{
    const int first = TakeNextFileId();
    EXPECT_GE(first, 1);
    EXPECT_EQ(PeekNextFileId(), first + 1);
    EXPECT_EQ(TakeNextFileId(), first + 1);
}

TEST(FileInfoTest, StartsEmptyAndStoresLongPaths)
{
    CFileInfo info;
    EXPECT_STREQ(info.GetPath(), L"");
    EXPECT_EQ(*info.GetStartTime(), CSFDateTime());
    EXPECT_EQ(*info.GetEndTime(), CSFDateTime());

    for (std::size_t length : {515u, 516u, 5000u}) {
        const std::wstring path = L"/" + std::wstring(length - 1, L'a');
        info.SetPath(path.c_str());
        EXPECT_EQ(info.GetPathString(), path);
    }
    info.SetPath(nullptr);
    EXPECT_STREQ(info.GetPath(), L"");

    info.SetStartTime(CSFDateTime(2016, 1, 2, 3, 4, 5));
    info.SetEndTime(CSFDateTime(2016, 1, 2, 4, 5, 6));
    const CFileInfo copy = info;
    EXPECT_EQ(copy.GetStartTime()->second, 5);
    EXPECT_EQ(copy.GetEndTime()->hour, 4);
}

TEST(ListRecordTest, DefaultsMarkNothingChosen)
{
    _QUERY_FILE_INFO query;
    EXPECT_EQ(query.channelKey, -1);
    EXPECT_EQ(query.startTime, -1);
    EXPECT_EQ(query.endTime, -1);
    EXPECT_EQ(query.endMark + query.directionMark + query.pauseMark + query.indexMark + query.fileType, 0);

    _GROUP_FILE_INFO item;
    EXPECT_TRUE(item.groupName.empty());
    EXPECT_TRUE(item.IsSingleFile());
    item.groupName = L"Cam01";
    item.channels[3] = nullptr;
    const _GROUP_FILE_INFO copy = item;
    EXPECT_FALSE(copy.IsSingleFile());
    EXPECT_EQ(copy.groupName, L"Cam01");
}
