// Installs the crash handler and then fails in the way argv[1] names.
#include "Common/CrashDump.h"

#include <csignal>
#include <cstring>
#include <stdexcept>
#include <sys/mman.h>

namespace {

void FaultOnPurpose()
{
    void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    *static_cast<volatile int*>(page) = 1;
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
    else if (!std::strcmp(mode, "double")) {
        SetCrashDumpWriteHook(FaultOnPurpose);
        FaultOnPurpose();
    }
    return 0;
}
