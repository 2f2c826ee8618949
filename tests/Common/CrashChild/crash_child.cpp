// Installs the crash handler and then fails in the way argv[1] names.
#include "Base/SFThreadHandle.h"
#include "Common/CrashDump.h"

#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <sys/mman.h>

namespace {

void FaultOnPurpose()
{
    void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    *static_cast<volatile int*>(page) = 1;
}

volatile int g_depthLimit = INT_MAX;

int RecurseDeeply(int depth)
{
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    if (depth >= g_depthLimit)
        return frame[0];
    return RecurseDeeply(depth + 1) + frame[0];
}

std::uint32_t OverflowTheStack(void*)
{
    return static_cast<std::uint32_t>(RecurseDeeply(0));
}

}  // namespace

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "";
    InstallCrashHandler(std::strcmp(mode, "nofilter") != 0);
    if (!std::strcmp(mode, "segv") || !std::strcmp(mode, "nofilter"))
        FaultOnPurpose();
    else if (!std::strcmp(mode, "abort"))
        std::abort();
    else if (!std::strcmp(mode, "fpe"))
        std::raise(SIGFPE);
    else if (!std::strcmp(mode, "terminate"))
        throw std::runtime_error("not caught");
    else if (!std::strcmp(mode, "thread-overflow")) {
        auto thread = SF_SOFT_BASE::CSFThreadHandle::Start(0, OverflowTheStack, nullptr);
        if (thread)
            thread->Wait(UINT32_MAX);
    } else if (!std::strcmp(mode, "double")) {
        SetCrashDumpWriteHook(FaultOnPurpose);
        FaultOnPurpose();
    }
    return 0;
}
