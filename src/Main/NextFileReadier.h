#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <thread>

#include <boost/shared_ptr.hpp>

#include "FileIndex/FileIndexTypes.h"

class CPlayManager;
class CPlayObject;
class IPlayObjectListener;

// The next file of each shown window, opened ahead of its boundary on a
// thread of its own and prerolled (forward its first frame decoded, backward
// its last group from its end), so the change of file costs what a frame does. At most one file
// a window. Used on the play loop; the opening thread owns nothing else.
class CNextFileReadier {
public:
    explicit CNextFileReadier(boost::shared_ptr<CPlayManager> manager);
    ~CNextFileReadier();
    CNextFileReadier(const CNextFileReadier&) = delete;
    CNextFileReadier& operator=(const CNextFileReadier&) = delete;

    // Starts readying the file under handle for its window, in place of the
    // one readied there before.
    void Ready(void* handle, const _QUERY_FILE_INFO& record, bool forward,
               const boost::shared_ptr<IPlayObjectListener>& listener);
    // The readied file of handle once opened (waiting for it at most
    // waitMs), no longer kept here; null when none or its open failed.
    boost::shared_ptr<CPlayObject> Take(void* handle, int waitMs);
    // The readied file of handle, kept here, once its open succeeded; null otherwise.
    boost::shared_ptr<CPlayObject> Opened(void* handle);
    // The readied file of handle in whatever state, null when none.
    boost::shared_ptr<CPlayObject> Readying(void* handle) const;
    // Whether the file of handle is readied to play backward from its end.
    bool ReadiedBackward(void* handle) const;
    // The handle readied for window, null when none.
    void* HandleOfWindow(int window) const;
    void DropWindow(int window);
    void Drop(void* handle);

private:
    struct Readied {
        int window = -1;
        bool forward = true;
        boost::shared_ptr<CPlayObject> object;
        std::shared_future<bool> opened;
    };
    using Job = std::function<void()>;

    static bool OpenAhead(const boost::shared_ptr<CPlayObject>& object, const std::wstring& path, bool forward);
    void Run();

    boost::shared_ptr<CPlayManager> m_manager;
    std::map<void*, Readied> m_readied;  // by handle
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_quit = false;
    std::thread m_thread;
};
