#include "PreviewFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include <unistd.h>

#include "Platform/PlayModule/PlayModuleTypes.h"

namespace PreviewTest {

std::string UniqueRecorder()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    // The index folder is shared by every test process: the process id keeps
    // copies of one test that run at once apart.
    const std::string name = test ? std::string(test->test_suite_name()) + test->name() : "Preview";
    return name + std::to_string(::getpid());
}

std::string UniqueRecordingName()
{
    return UniqueRecorder() + "_ch1_main_20240101080000_20240101090000.kvx";
}

PreviewFakeLibrary::PreviewFakeLibrary(PLAY_MODULE::IPlayModuleListener* listener,
                                       PreviewLibraries& owner)
    : FakePlayLibrary(listener), m_owner(owner)
{
}

int PreviewFakeLibrary::Open(const char* path)
{
    FakePlayLibrary::Open(path);
    const int result = m_owner.openResult;
    if (result && m_owner.autoReport)
        FireRefFinished(m_owner.indexOk);
    return result;
}

int PreviewFakeLibrary::GetRefValue(unsigned char* buffer, unsigned int* length)
{
    const std::vector<unsigned char>& index = m_owner.index;
    if (buffer)
        std::copy(index.begin(), index.end(), buffer);
    *length = unsigned(index.size());
    return 1;
}

int PreviewFakeLibrary::SetRefValue(unsigned char* data, unsigned int length)
{
    std::lock_guard lock(m_mutex);
    m_received.assign(data, data + length);
    const int taken = FakePlayLibrary::SetRefValue(data, length);
    return m_owner.refuseIndex ? 0 : taken;
}

std::vector<unsigned char> PreviewFakeLibrary::ReceivedIndex() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

int PreviewFakeLibrary::Seek(unsigned int time, int exact)
{
    const int result = FakePlayLibrary::Seek(time, exact);
    if (exact && m_owner.autoReport)
        FireFrame(PLAY_MODULE::PM_RENDER_DDRAW, 16, 16);
    return result;
}

PlayLibraryFactory PreviewLibraries::Factory()
{
    return [this](PLAY_MODULE::IPlayModuleListener* listener) -> std::unique_ptr<IPlayLibrary> {
        if (failCreate)
            throw std::bad_alloc();
        auto library = std::make_unique<PreviewFakeLibrary>(listener, *this);
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

PreviewFakeLibrary* PreviewLibraries::At(std::size_t index) const
{
    std::lock_guard lock(m_mutex);
    return index < m_made.size() ? m_made[index] : nullptr;
}

std::vector<std::string> PreviewLibraries::FinalCalls(std::size_t index) const
{
    std::lock_guard lock(m_mutex);
    return index < m_finalCalls.size() ? m_finalCalls[index] : std::vector<std::string>{};
}

std::size_t PreviewLibraries::Count() const
{
    std::lock_guard lock(m_mutex);
    return m_made.size();
}

void PreviewLibraries::Reset()
{
    failCreate = false;
    openResult = 1;
    autoReport = false;
    indexOk = 1;
    refuseIndex = false;
    index = {1, 2, 3, 4, 5};
    std::lock_guard lock(m_mutex);
    m_made.clear();
    m_finalCalls.clear();
}

}  // namespace PreviewTest
