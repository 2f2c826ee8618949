#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "PlayManager/FakePlayLibrary.h"

namespace MainPageTest {

// The playback library under the main page's engine: records every call of
// every library object (also after it was destroyed) and answers as set.
class EngineDouble {
public:
    struct Answers {
        std::string refuseOpenOf;  // paths holding this text do not open
        int seekResult = 1;
        int backwardResult = 1;
        std::atomic<int> snapResult{1};
        // A file played backward from its start ends at once, as the
        // library's does.
        std::atomic<bool> backwardStartEnds{false};
    };

    PlayLibraryFactory Factory();
    std::size_t Count() const;
    // The live library object of the i-th play object; null once destroyed.
    PlayManagerTest::FakePlayLibrary* At(std::size_t index) const;
    std::vector<std::string> Calls(std::size_t index) const;
    // How often a call was made over every library object.
    int Total(const std::string& call) const;
    std::vector<std::string> Snapshots() const;
    void NoteSnapshot(const std::string& path);

    Answers answers;

private:
    mutable std::mutex m_mutex;
    std::vector<PlayManagerTest::FakePlayLibrary*> m_live;
    std::vector<std::vector<std::string>> m_final;
    std::vector<std::string> m_snapshots;
};

}  // namespace MainPageTest
