#include "Base/TaskBase.h"

#include "Base/TaskTrace.h"

namespace LumivexBase {

CTaskBase::CTaskBase() : m_createCounter(GetPerformanceCounter()) {}

}  // namespace LumivexBase
