#include "Watermark/WatermarkTaskInfo.h"

#include "Platform/PlayModule/Stream/PlaySdkWrapper.h"

CWatermarkTaskInfo::CWatermarkTaskInfo(std::wstring path_, int row_) : path(std::move(path_)), row(row_) {}

CWatermarkTaskInfo::~CWatermarkTaskInfo() = default;

void CWatermarkTaskInfo::SetWrapper(boost::shared_ptr<PLAY_MODULE::CPlaySdkWrapper> decoder)
{
    wrapper = std::move(decoder);
    m_decoder = wrapper.get();
}

bool CWatermarkTaskInfo::IsDecoder(const PLAY_MODULE::CPlaySdkWrapper* sender) const
{
    return sender && m_decoder.load() == sender;
}

void CWatermarkTaskInfo::AllocateBuffer()
{
    if (!buffer)
        buffer = std::make_unique<unsigned char[]>(kBlockSize);  // zero-filled
}

void CWatermarkTaskInfo::ReleaseBuffer()
{
    buffer.reset();
}
