#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <set>
#include <string>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

class CExportViewUILogic;
class CPlayManager;

// The export page's logic on the play loop: owns the page's play manager
// and the play handle of every file key, and answers the UI logic with
// tasks on the GUI loop. A file is kept as its record (a handle, no play
// object) until it plays or its key frames are looked up; a reset or a
// close keeps it as its record again. Key-frame lookups are queued and run
// by a task of their own in slices, so the loop's other work goes on.
class CExportViewPlayLogic : public boost::enable_shared_from_this<CExportViewPlayLogic> {
public:
    CExportViewPlayLogic();
    // manager: the page's own play manager (tests give one of their own).
    explicit CExportViewPlayLogic(boost::shared_ptr<CPlayManager> manager);
    ~CExportViewPlayLogic();
    CExportViewPlayLogic(const CExportViewPlayLogic&) = delete;
    CExportViewPlayLogic& operator=(const CExportViewPlayLogic&) = delete;

    void SetUILogic(const boost::shared_ptr<CExportViewUILogic>& uiLogic) { m_uiLogic = uiLogic; }

    void Task_OpenFileWithName(int key, std::wstring path);
    void Task_OpenFile(int key);
    void Task_Play(int key);
    void Task_Pause(int key);
    void Task_Stop(int key);
    void Task_StopAndReset(int key);
    void Task_Close(int key);
    void Task_SetSpeed(int key, float speed);
    void Task_SetPlayDirection(int key, unsigned int direction);
    void Task_Seek(int key, unsigned int time);
    void Task_RePlay(int key);
    void Task_StepForward(int key);
    void Task_StepBackward(int key);
    void Task_SaveRef(int key, std::wstring path);
    // A clip's span ends before its end second (a key frame right at the end
    // starts no group of it); a picture series also shows the end second.
    void Task_AnalyseFilePos(int key, unsigned int startTime, unsigned int endTime, bool endSecondIncluded);
    // The lookups of a file are over: a file opened only for them is closed.
    void Task_EndAnalysis(int key);
    // A stop: the lookups still waiting are dropped, their keys answered at once.
    void Task_DropLookups();
    // Runs queued lookups for up to kLookupSliceMs, then posts itself again.
    void Task_RunLookups();
    void Task_DeleteHandle(int key);
    void Task_DeleteHandles(std::list<int> keys);
    void Task_DeleteAllHandles(std::list<int> keys);

    // Files opened at once for key-frame lookups alone; later lookups wait.
    static constexpr std::size_t kLookupOpens = 4;
    // Longest run of lookups before the loop's other tasks get their turn.
    static constexpr int kLookupSliceMs = 20;

private:
    struct File {
        void* handle = nullptr;
        std::wstring path;
        bool open = false;  // has a play object
    };
    struct Lookup {
        int key = 0;
        unsigned int startTime = 0;
        unsigned int endTime = 0;
        bool endSecondIncluded = false;
        bool footerRead = false;  // its recording has no footer that answers it
    };

    void* Find(int key) const;
    bool Wake(int key);
    void Sleep(int key);
    void Take(Lookup lookup);
    bool AnswerFromFooter(const Lookup& lookup);
    void LookUp(const Lookup& lookup);
    void PostLookups();
    void StartWaitingLookups();
    void TimeByName(void* handle, const std::wstring& path);
    template <class Method, class... Args>
    void Answer(Method method, const char* name, Args... args);

    boost::weak_ptr<CExportViewUILogic> m_uiLogic;
    boost::shared_ptr<CPlayManager> m_playManager;
    std::map<int, File> m_files;
    std::set<int> m_lookupOpen;        // open for lookups alone
    std::deque<Lookup> m_lookups;      // asked, not run yet
    std::deque<Lookup> m_waitingOpen;  // to be opened, waiting for one of them to close
    bool m_lookupsPosted = false;
};
