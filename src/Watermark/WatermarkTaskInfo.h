#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include <boost/shared_ptr.hpp>

#include "Base/SFFile.h"

namespace PLAY_MODULE {
class CPlaySdkWrapper;
}

// One recording under watermark check. Loop 4 fills it while it feeds the
// file; the GUI thread reads percent, percentChanged and row between two
// blocks, and the decoder identity at any time.
class CWatermarkTaskInfo {
public:
    static constexpr std::uint32_t kBlockSize = 131072;

    CWatermarkTaskInfo(std::wstring path, int row);
    ~CWatermarkTaskInfo();
    CWatermarkTaskInfo(const CWatermarkTaskInfo&) = delete;
    CWatermarkTaskInfo& operator=(const CWatermarkTaskInfo&) = delete;

    // Loop 4: the decoder of the file (empty until opened).
    void SetWrapper(boost::shared_ptr<PLAY_MODULE::CPlaySdkWrapper> wrapper);
    // Any thread: whether the reports of this sender are about this file.
    bool IsDecoder(const PLAY_MODULE::CPlaySdkWrapper* sender) const;

    void AllocateBuffer();
    void ReleaseBuffer();

    boost::shared_ptr<PLAY_MODULE::CPlaySdkWrapper> wrapper;
    std::unique_ptr<unsigned char[]> buffer;
    std::int64_t bytesFed = 0;
    std::int64_t fileSize = 0;
    SF_SOFT_BASE::CSFFile file;
    int percent = 0;
    const std::wstring path;
    const int row;
    int percentChanged = 1;

private:
    std::atomic<const PLAY_MODULE::CPlaySdkWrapper*> m_decoder{nullptr};
};
