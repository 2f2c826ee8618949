#include "PlayManager/FakePlayLibrary.h"

#include <algorithm>
#include <cstring>

namespace PlayManagerTest {

FakePlayLibrary::~FakePlayLibrary()
{
    if (onDestroy)
        onDestroy(Calls());
}

int FakePlayLibrary::Log(const std::string& call)
{
    std::lock_guard lock(m_mutex);
    m_calls.push_back(call);
    return 1;
}

std::vector<std::string> FakePlayLibrary::Calls() const
{
    std::lock_guard lock(m_mutex);
    return m_calls;
}

bool FakePlayLibrary::Called(const std::string& call) const
{
    const auto calls = Calls();
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

void FakePlayLibrary::FireFrame(int renderKind, int width, int height, int infoKind,
                                unsigned char luma)
{
    const std::size_t area = std::size_t(width) * std::size_t(height);
    m_frame.assign(area + area / 2, 128);
    std::fill(m_frame.begin(), m_frame.begin() + std::ptrdiff_t(area), luma);
    PLAY_MODULE::PM_FRAME_INFO info;
    info.nWidth = width;
    info.nHeight = height;
    info.nType = infoKind;
    m_listener->OnFrameVisible(nullptr, renderKind, m_frame.data(), int(m_frame.size()), &info);
}

void FakePlayLibrary::FireSharedFrame(int renderKind, const std::shared_ptr<const unsigned char>& frame, int width,
                                      int height)
{
    PLAY_MODULE::PM_FRAME_INFO info;
    info.nWidth = width;
    info.nHeight = height;
    info.nType = 3;
    m_listener->OnSharedFrameVisible(nullptr, renderKind, frame, width * height * 3 / 2, &info);
}

void FakePlayLibrary::FireShortFrame(int renderKind, int width, int height)
{
    m_frame.assign(std::size_t(width) * std::size_t(height), 16);
    PLAY_MODULE::PM_FRAME_INFO info;
    info.nWidth = width;
    info.nHeight = height;
    info.nType = 3;
    m_listener->OnFrameVisible(nullptr, renderKind, m_frame.data(), int(m_frame.size()), &info);
}

int FakePlayLibrary::FireOverlay(int kind)
{
    static const unsigned char block[] = {1, 0, 0, 0};
    return m_listener->OnOverlayData(nullptr, const_cast<unsigned char*>(block), kind, 4, 0, 0);
}

int FakePlayLibrary::QueryInfo(int kind, char* buffer, int size, int* returned)
{
    if (kind != 4 || size < 4)
        return 0;
    const int value = overlayValue;
    std::memcpy(buffer, &value, 4);
    if (returned)
        *returned = 4;
    return 1;
}

int FakePlayLibrary::GroupPlay_QueryGroupPlayingTime(PLAY_MODULE::__DATETIME_INFO* time)
{
    Log("GroupPlay_QueryGroupPlayingTime");
    if (!groupQueryResult) {
        time->nYear = 2021;  // what a failing library may leave behind
        time->nMonth = 1;
        time->nDay = 1;
        return 0;
    }
    *time = groupTime;
    return 1;
}

PlayLibraryFactory FakeLibraries::Factory()
{
    return [this](PLAY_MODULE::IPlayModuleListener* listener) -> std::unique_ptr<IPlayLibrary> {
        auto library = std::make_unique<FakePlayLibrary>(listener);
        std::lock_guard lock(m_mutex);
        const std::size_t index = m_made.size();
        m_made.push_back(library.get());
        m_finalCalls.emplace_back();
        library->onDestroy = [this, index](const std::vector<std::string>& calls) {
            std::lock_guard lock(m_mutex);
            m_made[index] = nullptr;
            m_finalCalls[index] = calls;
        };
        return library;
    };
}

FakePlayLibrary* FakeLibraries::At(std::size_t index) const
{
    std::lock_guard lock(m_mutex);
    return index < m_made.size() ? m_made[index] : nullptr;
}

std::size_t FakeLibraries::Count() const
{
    std::lock_guard lock(m_mutex);
    return m_made.size();
}

}  // namespace PlayManagerTest

namespace PlayManagerTest {

std::vector<std::string> FakeLibraries::FinalCalls(std::size_t index) const
{
    std::lock_guard lock(m_mutex);
    return index < m_finalCalls.size() ? m_finalCalls[index] : std::vector<std::string>{};
}

}  // namespace PlayManagerTest
