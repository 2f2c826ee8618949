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
#ifdef __GLIBC__
    // glibc's default threshold, fixed: a set value stops it from growing.
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);
#endif
}

}  // namespace SF_SOFT_BASE
