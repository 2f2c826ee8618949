#include "Main/NextFileReadier.h"

#include <chrono>
#include <vector>

#include "Base/SFSignalStack.h"
#include "Base/TextCodec.h"
#include "Common/IndexFileStore.h"
#include "PlayManager/PlayManager.h"
#include "PlayManager/PlayObject.h"

CNextFileReadier::CNextFileReadier(boost::shared_ptr<CPlayManager> manager)
    : m_manager(std::move(manager)), m_thread([this] { Run(); })
{
}

CNextFileReadier::~CNextFileReadier()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_jobs.clear();
    }
    m_wake.notify_all();
    m_thread.join();
}

void CNextFileReadier::Run()
{
    SF_SOFT_BASE::SFEnsureSignalStack();
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || !m_jobs.empty(); });
            if (m_quit)
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
    }
}

bool CNextFileReadier::OpenAhead(const boost::shared_ptr<CPlayObject>& object, const std::wstring& path,
                                 bool forward)
{
    std::vector<unsigned char> index;
    if (ReadIndexFile(path, &index))
        object->SetRefValue(index.data(), unsigned(index.size()));
    if (!object->Open(SF_SOFT_BASE::WideToUtf8(path).c_str()))
        return false;
    // Backward it stands at its end, its last group decoded.
    if (!forward)
        object->PlayBackward();
    object->Preroll();
    return true;
}

void CNextFileReadier::Ready(void* handle, const _QUERY_FILE_INFO& record, bool forward,
                             const boost::shared_ptr<IPlayObjectListener>& listener)
{
    DropWindow(record.window);
    Readied& readied = m_readied[handle];
    readied.window = record.window;
    readied.forward = forward;
    readied.object = m_manager->MakeFreePlayObject(PlayTypeOfFileType(record.fileType), handle);
    readied.object->SetListener(listener);
    auto task = std::make_shared<std::packaged_task<bool()>>(
        [object = readied.object, path = record.path, forward] { return OpenAhead(object, path, forward); });
    readied.opened = task->get_future().share();
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back([task] { (*task)(); });
    }
    m_wake.notify_all();
}

boost::shared_ptr<CPlayObject> CNextFileReadier::Take(void* handle, int waitMs)
{
    auto it = m_readied.find(handle);
    if (it == m_readied.end())
        return {};
    Readied readied = std::move(it->second);
    m_readied.erase(it);
    if (readied.opened.wait_for(std::chrono::milliseconds(waitMs)) != std::future_status::ready)
        return {};
    return readied.opened.get() ? readied.object : boost::shared_ptr<CPlayObject>();
}

boost::shared_ptr<CPlayObject> CNextFileReadier::Opened(void* handle)
{
    auto it = m_readied.find(handle);
    if (it == m_readied.end())
        return {};
    const Readied& readied = it->second;
    const bool opened = readied.opened.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready &&
                        readied.opened.get();
    return opened ? readied.object : boost::shared_ptr<CPlayObject>();
}

boost::shared_ptr<CPlayObject> CNextFileReadier::Readying(void* handle) const
{
    auto it = m_readied.find(handle);
    return it == m_readied.end() ? boost::shared_ptr<CPlayObject>() : it->second.object;
}

bool CNextFileReadier::ReadiedBackward(void* handle) const
{
    auto it = m_readied.find(handle);
    return it != m_readied.end() && !it->second.forward;
}

void* CNextFileReadier::HandleOfWindow(int window) const
{
    for (const auto& [handle, readied] : m_readied)
        if (readied.window == window)
            return handle;
    return nullptr;
}

void CNextFileReadier::DropWindow(int window)
{
    if (void* handle = HandleOfWindow(window))
        Drop(handle);
}

void CNextFileReadier::Drop(void* handle)
{
    m_readied.erase(handle);
}
