#pragma once

#include <cstdint>
#include <string>

namespace LumivexBase {

// Trace fields of a task: where it was posted, from whom, and when it was made.
class CTaskBase {
public:
    CTaskBase();
    virtual ~CTaskBase() = default;

protected:
    std::string m_fileName;
    int m_line = 0;
    std::string m_taskName;
    std::string m_callerName;
    int m_loopId = 0;
    std::int64_t m_createCounter = 0;
    int m_traceLevel = 1;
};

}  // namespace LumivexBase
