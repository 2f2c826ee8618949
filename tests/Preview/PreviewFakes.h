#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "PageServices/PageHost.h"
#include "PlayManager/FakePlayLibrary.h"
#include "Preview/PreviewPlayReceiver.h"

namespace PreviewTest {

// Index files are named after the recording's file name alone: each test
// names its recordings after itself, so tests running at once do not share.
std::string UniqueRecorder();
std::string UniqueRecordingName();

class PreviewLibraries;

// A fake library whose file runs from 1000 s to 1400 s, hands out the index
// the test sets, and (when told) reports its index and a frame after an
// exact seek, as the real library does.
class PreviewFakeLibrary : public PlayManagerTest::FakePlayLibrary {
public:
    PreviewFakeLibrary(PLAY_MODULE::IPlayModuleListener* listener, PreviewLibraries& owner);

    int Open(const char* path) override;
    unsigned int GetFileEndTime() override { return startTime + span; }
    int GetRefValue(unsigned char* buffer, unsigned int* length) override;
    int SetRefValue(unsigned char* data, unsigned int length) override;
    int Seek(unsigned int time, int exact) override;

    std::atomic<unsigned> span{400};
    std::vector<unsigned char> ReceivedIndex() const;

private:
    PreviewLibraries& m_owner;
    mutable std::mutex m_mutex;
    std::vector<unsigned char> m_received;
};

// Makes the fake libraries of one play manager and keeps track of them.
class PreviewLibraries {
public:
    PlayLibraryFactory Factory();
    PreviewFakeLibrary* At(std::size_t index) const;
    std::size_t Count() const;
    // The calls a destroyed library had seen.
    std::vector<std::string> FinalCalls(std::size_t index) const;
    // Back to the first settings; forgets the libraries made (all gone by then).
    void Reset();

    // What the next libraries do.
    std::atomic<bool> failCreate{false};
    std::atomic<int> openResult{1};
    std::atomic<bool> autoReport{false};  // index report on open, frame on exact seek
    std::atomic<int> indexOk{1};
    std::atomic<bool> refuseIndex{false};  // SetRefValue refuses the bytes
    std::vector<unsigned char> index{1, 2, 3, 4, 5};  // set before use

private:
    mutable std::mutex m_mutex;
    std::vector<PreviewFakeLibrary*> m_made;
    std::vector<std::vector<std::string>> m_finalCalls;
};

// The main window as a page sees it.
class FakePageHost : public IPageHost {
public:
    void Task_OnCloseSuccess(int pageId) override { closed.push_back(pageId); }
    void ResetPageTab(int tabId) override { resetTabs.push_back(tabId); }
    boost::shared_ptr<IFileIndexService> GetFileIndexService() override { return {}; }
    int IsClosing() override { return 0; }

    std::vector<int> closed;
    std::vector<int> resetTabs;
};

// Records what the play logic answers.
class AnswerRecorder : public IPreviewPlayReceiver {
public:
    struct Answer {
        std::string name;
        void* handle = nullptr;
        void* second = nullptr;
        int value = 0;
        std::wstring text;
        unsigned start = 0;
        unsigned end = 0;
    };

    void Task_OnLoadFileSuccess(void* handle, int ok) override { Add("Load", handle, nullptr, ok); }
    void Task_NotEnoughRomAssigned() override { Add("NoRom", nullptr, nullptr, 0); }
    void Task_CloseFilesRet(void* result) override { Add("Close", result, nullptr, 0); }
    void Task_SaveIndexRet(void* handle, int saved) override { Add("SaveIndex", handle, nullptr, saved); }
    void Task_PreviewRet(void* source, void* slice, int ok, int k, std::wstring error, unsigned start,
                         unsigned end) override
    {
        Add("Preview", source, slice, ok * 100 + k);
        answers.back().text = error;
        answers.back().start = start;
        answers.back().end = end;
    }
    void Task_PauseOneRet(void* handle, int result) override { Add("PauseOne", handle, nullptr, result); }
    boost::shared_ptr<CPreviewSimplePlayerEventImp> GetOwnerView() override { return {}; }

    std::vector<Answer> answers;

private:
    void Add(const char* name, void* handle, void* second, int value)
    {
        Answer answer;
        answer.name = name;
        answer.handle = handle;
        answer.second = second;
        answer.value = value;
        answers.push_back(answer);
    }
};

}  // namespace PreviewTest
