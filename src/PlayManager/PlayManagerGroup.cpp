#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/SFMessageLoopManager.h"
#include "PlayManager/PlayHandle.h"
#include "PlayManager/PlayManager.h"
#include "PlayManager/PlayObject.h"

void* CPlayManager::CreateGroupPlayObject()
{
    LumivexBase::CheckLoopThread(LumivexBase::ML_PLAY, "CPlayManager::CreateGroupPlayObject()",
                                 "fuction used In wrong Thread!");
    boost::shared_ptr<IPlayLibrary> group(m_backends.library(nullptr).release());
    void* handle = NewPlayHandle();
    m_groupObjects.emplace_back(handle, group);
    return handle;
}

boost::shared_ptr<IPlayLibrary> CPlayManager::GetSptrGroupPlayObject(void* group)
{
    LumivexBase::CheckLoopThread(LumivexBase::ML_PLAY, "CPlayManager::GetSptrGroupPlayObject",
                                 "fuction used In wrong Thread!");
    for (const auto& [handle, module] : m_groupObjects) {
        if (handle == group)
            return module;
    }
    return {};
}

template <class Call>
int CPlayManager::ForwardGroup(void* group, Call call)
{
    boost::shared_ptr<IPlayLibrary> module = GetSptrGroupPlayObject(group);
    return module ? call(*module) : 0;
}

int CPlayManager::GroupPlay_Open(void* group)
{
    return ForwardGroup(group, [](IPlayLibrary& g) { return g.GroupPlay_Open(); });
}

int CPlayManager::GroupPlay_AddToPlayGroup(void* group, void* handle)
{
    boost::shared_ptr<IPlayLibrary> module = GetSptrGroupPlayObject(group);
    boost::shared_ptr<CPlayObject> member = module ? GetSptrPlayObject(handle) : nullptr;
    return member ? module->GroupPlay_AddToPlayGroup(member->Library()) : 0;
}

int CPlayManager::GroupPlay_DelFromPlayGroup(void* group, void* handle)
{
    boost::shared_ptr<IPlayLibrary> module = GetSptrGroupPlayObject(group);
    boost::shared_ptr<CPlayObject> member = module ? GetSptrPlayObject(handle) : nullptr;
    return member ? module->GroupPlay_DelFromPlayGroup(member->Library()) : 0;
}

int CPlayManager::GroupPlay_PlayForward(void* group)
{
    return ForwardGroup(group, [](IPlayLibrary& g) { return g.GroupPlay_PlayForward(); });
}

int CPlayManager::GroupPlay_PlayBackward(void* group)
{
    return ForwardGroup(group, [](IPlayLibrary& g) { return g.GroupPlay_PlayBackward(); });
}

int CPlayManager::GroupPlay_StepForward(void* group)
{
    return ForwardGroup(group, [](IPlayLibrary& g) { return g.GroupPlay_StepForward(); });
}

int CPlayManager::GroupPlay_StepBackward(void* group)
{
    return ForwardGroup(group, [](IPlayLibrary& g) { return g.GroupPlay_StepBackward(); });
}

int CPlayManager::GroupPlay_SetPlaySpeed(void* group, float speed)
{
    return ForwardGroup(group,
                        [speed](IPlayLibrary& g) { return g.GroupPlay_SetPlaySpeed(speed); });
}

int CPlayManager::GroupPlay_Pause(void* group)
{
    return ForwardGroup(group, [](IPlayLibrary& g) { return g.GroupPlay_Pause(); });
}

int CPlayManager::GroupPlay_Resume(void* group)
{
    return ForwardGroup(group, [](IPlayLibrary& g) { return g.GroupPlay_Resume(); });
}

int CPlayManager::GroupPlay_Seek(void* group, unsigned int time)
{
    return ForwardGroup(group, [time](IPlayLibrary& g) { return g.GroupPlay_Seek(time); });
}

int CPlayManager::GroupPlay_QueryGroupPlayingTime(void* group, PLAY_MODULE::__DATETIME_INFO* time)
{
    if (!time)
        return 0;
    const int result = ForwardGroup(
        group, [time](IPlayLibrary& g) { return g.GroupPlay_QueryGroupPlayingTime(time); });
    // A failed query may leave part of a time behind.
    if (!result)
        *time = PLAY_MODULE::__DATETIME_INFO{};
    return result;
}

int CPlayManager::GroupPlay_Close(void* group)
{
    return ForwardGroup(group, [](IPlayLibrary& g) { return g.GroupPlay_Close(); });
}

int CPlayManager::SetListener(boost::shared_ptr<IPlayObjectListener> listener)
{
    m_groupListener = listener.get();
    m_groupListenerRef = listener;
    return 1;
}

int CPlayManager::SetGroupPlayFlag(int flag)
{
    m_groupPlayFlag = flag;
    return 1;
}
