#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "Platform/PlayModule/Source/KvxIndexScanner.h"
#include "KvxSampleFixture.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;

namespace {

class KvxIndexSlices : public CKvxSampleFixture {
protected:
    void SetUp() override { MakeSample(6, 40); }

    std::uint64_t Offset(std::size_t record) const { return m_records[record].offset; }
};

}  // namespace

// A scan in slices of a few KB (so that slices meet inside records, damage
// and cut-offs) finds what one scan from the start finds.
TEST_F(KvxIndexSlices, ScanInSlicesFindsWhatOneScanFinds)
{
    const std::size_t middle = m_records.size() / 2;
    std::vector<std::pair<const char*, std::vector<std::uint8_t>>> files;
    files.emplace_back("intact", m_bytes);
    auto damaged = m_bytes;
    damaged[Offset(middle) + 9] ^= 0x5A;
    files.emplace_back("damaged header", damaged);
    auto cut = m_bytes;
    cut.erase(cut.begin() + std::ptrdiff_t(Offset(middle) + 60), cut.begin() + std::ptrdiff_t(Offset(middle + 3)));
    files.emplace_back("records cut out", cut);
    auto junk = m_bytes;
    junk.insert(junk.begin() + std::ptrdiff_t(Offset(middle)), 5000, 0x4B);
    files.emplace_back("junk between records", junk);
    auto truncated = m_bytes;
    truncated.resize(Offset(m_records.size() - 2) + 70);
    files.emplace_back("truncated", truncated);

    for (const auto& [name, bytes] : files) {
        const std::string path = m_folder.File("slices.kvx");
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        CKeyFrameIndex whole;
        ASSERT_TRUE(CKvxIndexScanner::Scan(path, whole, nullptr, UINT64_MAX)) << name;
        for (const std::uint64_t slice : {std::uint64_t(1000), std::uint64_t(4096), bytes.size() / 3}) {
            CKeyFrameIndex sliced;
            ASSERT_TRUE(CKvxIndexScanner::Scan(path, sliced, nullptr, slice)) << name;
            EXPECT_EQ(whole, sliced) << name << ", slices of " << slice;
        }
    }
}

// Without an index, a seek finds the key frame the index would name: from
// the footer, and by bisection in a file without one.
TEST_F(KvxIndexSlices, KeyFrameFoundWithoutAnIndexIsTheIndexedOne)
{
    CKeyFrameIndex index;
    ASSERT_TRUE(CKvxIndexScanner::Scan(m_path, index));
    ASSERT_GE(index.entries.size(), 6u);
    const std::string footerless = m_folder.File("footerless.kvx");
    const auto& last = m_records.back();
    ASSERT_TRUE(WriteFileBytes(footerless, {m_bytes.begin(), m_bytes.begin() + std::ptrdiff_t(last.offset + last.TotalSize())}));
    for (const std::string& path : {m_path, footerless}) {
        for (std::int64_t t = index.startTimeMs - 500; t <= index.endTimeMs + 500; t += 130) {
            auto after = std::upper_bound(index.entries.begin(), index.entries.end(), t,
                                          [](std::int64_t time, const auto& entry) { return time < entry.timeMs; });
            const std::uint64_t expected =
                after == index.entries.begin() ? index.entries.front().position : std::prev(after)->position;
            EXPECT_EQ(CKvxIndexScanner::FindKeyFrame(path, t), expected) << path << " " << t - index.startTimeMs;
        }
    }
    EXPECT_FALSE(CKvxIndexScanner::FindKeyFrame(m_folder.File("missing.kvx"), 0));
}
