#include "Base/SFSignalStack.h"

#include <csignal>
#include <cstddef>
#include <sys/mman.h>
#include <unistd.h>

namespace SF_SOFT_BASE {
namespace {

// Room for the crash report's backtrace and writes (sanitizer builds need
// more than plain ones), plus a guard page below. Pages are only touched
// when a signal is handled.
constexpr std::size_t kUsableSize = 256 * 1024;

std::size_t PageSize()
{
    const long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? std::size_t(size) : 4096;
}

class CThreadSignalStack {
public:
    bool Install()
    {
        const std::size_t guard = PageSize();
        void* memory = ::mmap(nullptr, guard + kUsableSize, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED)
            return false;
        ::mprotect(memory, guard, PROT_NONE);
        stack_t stack{};
        stack.ss_sp = static_cast<char*>(memory) + guard;
        stack.ss_size = kUsableSize;
        if (::sigaltstack(&stack, nullptr) != 0) {
            ::munmap(memory, guard + kUsableSize);
            return false;
        }
        m_memory = memory;
        m_size = guard + kUsableSize;
        return true;
    }

    ~CThreadSignalStack()
    {
        if (!m_memory)
            return;
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        ::sigaltstack(&off, nullptr);
        ::munmap(m_memory, m_size);
    }

private:
    void* m_memory = nullptr;
    std::size_t m_size = 0;
};

bool HasSignalStack()
{
    stack_t current{};
    return ::sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE);
}

}  // namespace

bool SFEnsureSignalStack()
{
    if (HasSignalStack())
        return true;
    thread_local CThreadSignalStack stack;
    return stack.Install();
}

}  // namespace SF_SOFT_BASE
