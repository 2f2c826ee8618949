#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Platform/PlayModule/Support/SampleFolder.h"

namespace PLAY_MODULE_TEST {

// A synthetic 160x120 recording with one key frame a second, its bytes and records.
class CKvxSampleFixture : public ::testing::Test {
protected:
    void MakeSample(int seconds, std::size_t moreRecordsThan)
    {
        KVX_WRITER::SyntheticOptions options;
        options.seconds = seconds;
        options.width = 160;
        options.height = 120;
        options.gopSeconds = 1;
        m_path = m_folder.MakeKvx(options);
        ASSERT_FALSE(m_path.empty());
        m_bytes = ReadFileBytes(m_path);
        m_records = ReadAllRecords(m_path);
        ASSERT_GT(m_records.size(), moreRecordsThan);
    }

    CSampleFolder m_folder;
    std::string m_path;
    std::vector<std::uint8_t> m_bytes;
    std::vector<PLAY_MODULE::KvxRecord> m_records;
};

}  // namespace PLAY_MODULE_TEST
