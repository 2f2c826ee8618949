#include <gtest/gtest.h>

#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "Base/SFSystem.h"

using SF_SOFT_BASE::CSFSystem;

namespace {

std::size_t MappedBlocks()
{
#ifdef __GLIBC__
    return mallinfo2().hblks;
#else
    return 0;
#endif
}

void* Touched(std::size_t bytes)
{
    auto* block = static_cast<unsigned char*>(std::malloc(bytes));
    block[0] = 1;
    asm volatile("" : : "g"(block) : "memory");
    return block;
}

}  // namespace

// A D1 picture is a heap block, not a mapping of its own whose pages fault
// in at every picture; a block past the bound is mapped and unmapped at its free.
TEST(HeapSettingsTest, PicturesComeFromTheHeapLargerBlocksAreMapped)
{
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the heap is not glibc's";
#else
    CSFSystem::ReturnFreedMemoryEagerly();
    const std::size_t before = MappedBlocks();
    void* picture = Touched(704 * 576 * 3 / 2);
    EXPECT_EQ(before, MappedBlocks());
    void* large = Touched(std::size_t(CSFSystem::kHeapBlockBytes) + 1);
    EXPECT_EQ(before + 1, MappedBlocks());
    std::free(large);
    EXPECT_EQ(before, MappedBlocks());
    std::free(picture);
#endif
}
