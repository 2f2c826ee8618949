#pragma once

#include <type_traits>
#include <utility>

#include <boost/bind/bind.hpp>
#include <boost/function.hpp>
#include <boost/make_shared.hpp>
#include <boost/shared_ptr.hpp>

#include "Base/SFTask.h"
#include "Base/TaskTrace.h"

namespace LumivexBase {

// A bound member-function call together with a strong reference to its
// target: the target lives at least until the task is destroyed.
template <class T>
class CSFConcreteTask : public CSFTask {
public:
    CSFConcreteTask(boost::function<void()> call, boost::shared_ptr<T> target)
        : m_call(std::move(call)), m_target(std::move(target))
    {
    }

    int Execute() override { return RunTimed(m_call); }

private:
    boost::function<void()> m_call;
    boost::shared_ptr<T> m_target;
};

// The task without a target: what its call refers to must outlive it.
template <>
class CSFConcreteTask<int> : public CSFTask {
public:
    explicit CSFConcreteTask(boost::function<void()> call) : m_call(std::move(call)) {}

    int Execute() override { return RunTimed(m_call); }

private:
    boost::function<void()> m_call;
};

// Binds method to the target's plain pointer and copies of the arguments.
template <class T, class Method, class... Args>
boost::shared_ptr<CSFTask> MakeTask(Method method, const boost::shared_ptr<T>& target,
                                    Args&&... args)
{
    boost::function<void()> call = boost::bind(method, target.get(), std::forward<Args>(args)...);
    return boost::make_shared<CSFConcreteTask<T>>(std::move(call), target);
}

// MakeTask<int>(callable, args...): a task without target.
template <class T, class Callable, class... Args>
std::enable_if_t<std::is_same_v<T, int>, boost::shared_ptr<CSFTask>> MakeTask(Callable callable,
                                                                             Args&&... args)
{
    boost::function<void()> call = boost::bind<void>(callable, std::forward<Args>(args)...);
    return boost::make_shared<CSFConcreteTask<int>>(std::move(call));
}

}  // namespace LumivexBase
