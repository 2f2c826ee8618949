#include "Base/SFSystem.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#ifdef __GLIBC__
#include <malloc.h>
#endif

// glibc's heap serves the program's allocations (not a sanitizer's).
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define LUMIVEX_GLIBC_HEAP 1
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#undef LUMIVEX_GLIBC_HEAP
#endif
#endif
#endif

namespace SF_SOFT_BASE {

void CSFSystem::Sleep(std::uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int CSFSystem::ShellOpen(const char* path)
{
    if (!path || !*path)
        return 0;
    return QProcess::startDetached(QStringLiteral("xdg-open"), {QString::fromUtf8(path)}) ? 1 : 0;
}

std::string CSFSystem::GetModuleDir()
{
    std::error_code ec;
    std::string exe = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    auto slash = exe.find_last_of('/');
    if (ec || slash == std::string::npos)
        return {};
    return exe.substr(0, slash + 1);
}

void CSFSystem::ReturnFreedMemoryEagerly()
{
#ifdef LUMIVEX_GLIBC_HEAP
    // glibc's default threshold, fixed: a set value stops it from growing.
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);
    // That also fixes the mapping threshold, at 128 KiB by default: every
    // picture and decoder table would be a fresh mapping, each of its pages
    // faulted in on the first write and unmapped at its free. Smaller blocks
    // come from the heap; freed, they are reused or trimmed.
    mallopt(M_MMAP_THRESHOLD, kHeapBlockBytes);
#endif
}

// Under a sanitizer glibc's trim would set up glibc's own heap on whichever
// threads call it first, racing, and break its bookkeeping at thread exit.
void CSFSystem::GiveBackFreedMemory()
{
#ifdef LUMIVEX_GLIBC_HEAP
    malloc_trim(0);
#endif
}

}  // namespace SF_SOFT_BASE
