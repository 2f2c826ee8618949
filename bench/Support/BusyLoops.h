#pragma once

#include <vector>

#include <sys/types.h>

namespace BENCH {

// Child processes that spin on a core each for as long as this lives: a busy
// machine beside the program.
class BusyLoops {
public:
    explicit BusyLoops(int count);
    ~BusyLoops();
    BusyLoops(const BusyLoops&) = delete;
    BusyLoops& operator=(const BusyLoops&) = delete;

private:
    std::vector<pid_t> m_children;
};

}  // namespace BENCH
