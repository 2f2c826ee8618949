#include "PlayManager/PlayHandle.h"

#include <atomic>
#include <cstdint>

void* NewPlayHandle()
{
    static std::atomic<std::uintptr_t> next{0x1000};
    return reinterpret_cast<void*>(next.fetch_add(0x10));
}
