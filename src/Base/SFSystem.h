#pragma once

#include <cstdint>
#include <string>

namespace SF_SOFT_BASE {

// Static system helpers.
class CSFSystem {
public:
    static void Sleep(std::uint32_t ms);
    // Opens a file or folder with the desktop's default application.
    // 1 when the opener was started, 0 otherwise.
    static int ShellOpen(const char* path);
    // Folder of the running program, with its trailing '/'; empty when unknown.
    static std::string GetModuleDir();
    // Blocks up to this size come from the heap, larger ones are mapped.
    static constexpr int kHeapBlockBytes = 1 << 20;
    // Keeps the allocator handing freed memory back to the system. By itself
    // glibc raises its trim threshold after each large free (up to 64 MiB), so
    // the arenas of the decoder threads kept what a closed player freed.
    // Blocks up to kHeapBlockBytes (a D1 picture, a decoder's tables) come
    // from the heap.
    static void ReturnFreedMemoryEagerly();
    // Hands the heap's free memory back to the system now (after a large
    // release: a closed player, a finished check). Nothing under a
    // sanitizer, whose allocator holds the heap.
    static void GiveBackFreedMemory();
};

}  // namespace SF_SOFT_BASE
