#include "Support/BusyLoops.h"

#include <csignal>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace BENCH {

// Spawned, not forked: a forked copy of this process would share its pages,
// so every page the program writes afterwards would be copied first (a stall
// of the whole process no user's busy machine causes).
BusyLoops::BusyLoops(int count)
{
    char shell[] = "/bin/sh";
    char flag[] = "-c";
    char loop[] = "while :; do :; done";
    char* argv[] = {shell, flag, loop, nullptr};
    for (int i = 0; i < count; ++i) {
        pid_t child = 0;
        if (::posix_spawn(&child, shell, nullptr, nullptr, argv, environ) == 0)
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
