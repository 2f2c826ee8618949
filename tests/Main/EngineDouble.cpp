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
        m_atStart = percent <= 0.0f;
        return m_engine.answers.seekResult;
    }
    int Seek(unsigned int time, int exact) override
    {
        m_atStart = false;
        return FakePlayLibrary::Seek(time, exact);
    }
    int Play(void* window) override
    {
        m_played = true;
        EndWhenBackwardAtStart();
        return FakePlayLibrary::Play(window);
    }
    int PlayForward() override
    {
        m_backward = false;
        return FakePlayLibrary::PlayForward();
    }
    int PlayBackward() override
    {
        FakePlayLibrary::PlayBackward();
        m_backward = true;
        EndWhenBackwardAtStart();
        return m_engine.answers.backwardResult;
    }
    // Readied to play backward, a file stands at its end.
    int Preroll() override
    {
        m_atStart = m_atStart && !m_backward;
        return FakePlayLibrary::Preroll();
    }
    int SnapPicture(const char* path, PLAY_MODULE::PM_IMAGE_TYPE type) override
    {
        m_engine.NoteSnapshot(path);
        FakePlayLibrary::SnapPicture(path, type);
        return m_engine.answers.snapResult;
    }

private:
    void EndWhenBackwardAtStart()
    {
        if (m_engine.answers.backwardStartEnds && m_played && m_backward && m_atStart)
            FireFileEnd(true);
    }

    EngineDouble& m_engine;
    bool m_atStart = true;
    bool m_played = false;
    bool m_backward = false;
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
