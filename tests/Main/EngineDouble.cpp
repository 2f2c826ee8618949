#include "EngineDouble.h"

#include <algorithm>

namespace MainPageTest {

namespace {

class AnsweringLibrary : public PlayManagerTest::FakePlayLibrary {
public:
    AnsweringLibrary(PLAY_MODULE::IPlayModuleListener* listener, EngineDouble& engine)
        : FakePlayLibrary(listener), m_engine(engine)
    {
    }
    int Open(const char* path) override
    {
        FakePlayLibrary::Open(path);
        const std::string& refused = m_engine.answers.refuseOpenOf;
        return refused.empty() || std::string(path).find(refused) == std::string::npos ? 1 : 0;
    }
    int Seek(float percent) override
    {
        FakePlayLibrary::Seek(percent);
        return m_engine.answers.seekResult;
    }
    int PlayBackward() override
    {
        FakePlayLibrary::PlayBackward();
        return m_engine.answers.backwardResult;
    }
    int SnapPicture(const char* path, PLAY_MODULE::PM_IMAGE_TYPE type) override
    {
        m_engine.NoteSnapshot(path);
        FakePlayLibrary::SnapPicture(path, type);
        return m_engine.answers.snapResult;
    }

private:
    EngineDouble& m_engine;
};

}  // namespace

PlayLibraryFactory EngineDouble::Factory()
{
    return [this](PLAY_MODULE::IPlayModuleListener* listener) -> std::unique_ptr<IPlayLibrary> {
        auto library = std::make_unique<AnsweringLibrary>(listener, *this);
        std::lock_guard lock(m_mutex);
        const std::size_t index = m_live.size();
        m_live.push_back(library.get());
        m_final.emplace_back();
        library->onDestroy = [this, index](const std::vector<std::string>& calls) {
            std::lock_guard lock(m_mutex);
            m_live[index] = nullptr;
            m_final[index] = calls;
        };
        return library;
    };
}

std::size_t EngineDouble::Count() const
{
    std::lock_guard lock(m_mutex);
    return m_live.size();
}

PlayManagerTest::FakePlayLibrary* EngineDouble::At(std::size_t index) const
{
    std::lock_guard lock(m_mutex);
    return index < m_live.size() ? m_live[index] : nullptr;
}

std::vector<std::string> EngineDouble::Calls(std::size_t index) const
{
    std::lock_guard lock(m_mutex);
    if (index >= m_live.size())
        return {};
    return m_live[index] ? m_live[index]->Calls() : m_final[index];
}

int EngineDouble::Total(const std::string& call) const
{
    int total = 0;
    for (std::size_t i = 0; i < Count(); ++i) {
        const auto calls = Calls(i);
        total += int(std::count(calls.begin(), calls.end(), call));
    }
    return total;
}

std::vector<std::string> EngineDouble::Snapshots() const
{
    std::lock_guard lock(m_mutex);
    return m_snapshots;
}

void EngineDouble::NoteSnapshot(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    m_snapshots.push_back(path);
}

}  // namespace MainPageTest
