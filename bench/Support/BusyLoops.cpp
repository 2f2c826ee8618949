#include "Support/BusyLoops.h"

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

namespace BENCH {

BusyLoops::BusyLoops(int count)
{
    for (int i = 0; i < count; ++i) {
        const pid_t child = ::fork();
        if (child == 0) {
            volatile unsigned spin = 0;
            for (;;)
                spin = spin + 1;
        }
        if (child > 0)
            m_children.push_back(child);
    }
}

BusyLoops::~BusyLoops()
{
    for (const pid_t child : m_children)
        ::kill(child, SIGKILL);
    for (const pid_t child : m_children)
        ::waitpid(child, nullptr, 0);
}

}  // namespace BENCH
