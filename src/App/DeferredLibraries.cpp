#include "DeferredLibraries.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#ifdef LUMIVEX_DEFERRED_LIBRARIES

extern "C" {
// From the generated stubs.
extern void* lumivex_deferred_slots[];
}
extern const char* const lumivex_deferred_names[];
extern const int lumivex_deferred_count;
extern const char* const lumivex_deferred_libraries[];
extern const int lumivex_deferred_library_count;

namespace {

std::once_flag g_loaded;

// The background load; an exit waits for it to end.
struct CLoaderThread {
    std::thread thread;
    ~CLoaderThread()
    {
        if (thread.joinable())
            thread.join();
    }
} g_loader;

[[noreturn]] void FailToLoad(const char* what)
{
    std::fprintf(stderr, "lumivex: cannot load the playback libraries: %s\n", what);
    std::_Exit(127);
}

void* FindFunction(const std::vector<void*>& handles, const char* name)
{
    for (void* handle : handles)
        if (void* function = ::dlsym(handle, name))
            return function;
    FailToLoad(name);
}

void LoadAll()
{
    std::vector<void*> handles;
    for (int i = 0; i < lumivex_deferred_library_count; ++i) {
        void* handle = ::dlopen(lumivex_deferred_libraries[i], RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            FailToLoad(::dlerror());
        handles.push_back(handle);
    }
    for (int i = 0; i < lumivex_deferred_count; ++i) {
        auto* slot = reinterpret_cast<std::atomic<void*>*>(&lumivex_deferred_slots[i]);
        slot->store(FindFunction(handles, lumivex_deferred_names[i]), std::memory_order_release);
    }
}

}  // namespace

// Called by a stub whose function is not yet known: loads the libraries
// once and answers the function.
extern "C" void* lumivex_deferred_resolve(int index)
{
    std::call_once(g_loaded, LoadAll);
    auto* slot = reinterpret_cast<std::atomic<void*>*>(&lumivex_deferred_slots[index]);
    return slot->load(std::memory_order_acquire);
}

namespace DeferredLibraries {

void StartLoading()
{
    if (!g_loader.thread.joinable())
        g_loader.thread = std::thread([] { std::call_once(g_loaded, LoadAll); });
}

}  // namespace DeferredLibraries

#else

namespace DeferredLibraries {

void StartLoading() {}

}  // namespace DeferredLibraries

#endif
