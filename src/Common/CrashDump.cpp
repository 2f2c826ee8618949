#include "Common/CrashDump.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

#include "Base/SFSignalStack.h"

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kNoSignal = 0;
constexpr int kMaxFrames = 64;

char g_dumpPath[PATH_MAX + 8];
std::atomic<int> g_entries{0};
std::atomic<void (*)()> g_writeHook{nullptr};

// Async-signal-safe output helpers.
void WriteText(int fd, const char* text)
{
    std::size_t length = std::strlen(text);
    while (length > 0) {
        ssize_t written = ::write(fd, text, length);
        if (written <= 0)
            return;
        text += written;
        length -= static_cast<std::size_t>(written);
    }
}

void WriteNumber(int fd, unsigned long value, unsigned base)
{
    char digits[32];
    int i = sizeof(digits) - 1;
    digits[i] = '\0';
    do {
        digits[--i] = "0123456789abcdef"[value % base];
        value /= base;
    } while (value != 0 && i > 0);
    if (base == 16)
        WriteText(fd, "0x");
    WriteText(fd, digits + i);
}

const char* SignalName(int signal)
{
    switch (signal) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGILL: return "SIGILL";
    case SIGFPE: return "SIGFPE";
    case SIGABRT: return "SIGABRT";
    default: return "uncaught exception";
    }
}

void CopyMemoryMap(int fd)
{
    int maps = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (maps < 0)
        return;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(maps, buffer, sizeof(buffer))) > 0)
        if (::write(fd, buffer, static_cast<std::size_t>(n)) != n)
            break;
    ::close(maps);
}

void WriteCrashDump(int signal, const void* address)
{
    int fd = ::open(g_dumpPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    if (auto hook = g_writeHook.load())
        hook();
    WriteText(fd, "Crash report\nSignal: ");
    WriteNumber(fd, static_cast<unsigned long>(signal), 10);
    WriteText(fd, " (");
    WriteText(fd, SignalName(signal));
    WriteText(fd, ")\nAddress: ");
    WriteNumber(fd, reinterpret_cast<unsigned long>(address), 16);
    WriteText(fd, "\nProcess: ");
    WriteNumber(fd, static_cast<unsigned long>(::getpid()), 10);
    WriteText(fd, "\n\nBacktrace:\n");
    void* frames[kMaxFrames];
    int count = backtrace(frames, kMaxFrames);
    backtrace_symbols_fd(frames, count, fd);
    WriteText(fd, "\nMemory map:\n");
    CopyMemoryMap(fd);
    ::fsync(fd);
    ::close(fd);
}

[[noreturn]] void HandleCrash(int signal, const void* address)
{
    if (g_entries.fetch_add(1) > 0)
        ::_exit(23);
    WriteCrashDump(signal, address);
    ::_exit(1);
}

void OnFatalSignal(int signal, siginfo_t* info, void*)
{
    HandleCrash(signal, info ? info->si_addr : nullptr);
}

void OnTerminate()
{
    HandleCrash(kNoSignal, nullptr);
}

bool RememberDumpPath()
{
    char exe[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    if (length <= 0)
        return false;
    exe[length] = '\0';
    std::memcpy(g_dumpPath, exe, static_cast<std::size_t>(length));
    std::memcpy(g_dumpPath + length, ".dmp", 5);
    return true;
}

}  // namespace

std::string GetCrashDumpPath()
{
    if (!g_dumpPath[0])
        RememberDumpPath();
    return g_dumpPath;
}

void SetCrashDumpWriteHook(void (*hook)())
{
    g_writeHook = hook;
}

bool InstallCrashHandler(bool useFilter)
{
    if (!useFilter || !RememberDumpPath())
        return false;
    // The first backtrace loads the unwinder; do it now, not in a handler.
    void* frame[1];
    backtrace(frame, 1);

    // Threads started by the program set up their own.
    SF_SOFT_BASE::SFEnsureSignalStack();

    struct sigaction action{};
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    bool ok = true;
    for (int signal : kFatalSignals)
        ok = sigaction(signal, &action, nullptr) == 0 && ok;
    std::set_terminate(OnTerminate);
    return ok;
}
