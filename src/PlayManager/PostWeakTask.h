#pragma once

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Base/PostTask.h"

// Posts call(*target) to a loop holding only a weak reference to the target:
// the posting thread never holds the target's last reference, and a task for
// a target that is gone by then does nothing.
template <class Target, class Call>
bool PostWeakTask(int loopId, const boost::weak_ptr<Target>& weak, const char* taskName,
                  const char* callerName, Call call)
{
    auto task = LumivexBase::MakeTask<int>([weak, call]() {
        if (boost::shared_ptr<Target> target = weak.lock())
            call(*target);
    });
    return LumivexBase::PostTaskToLoop(loopId, task, __FILE__, __LINE__, taskName, callerName, 1);
}
