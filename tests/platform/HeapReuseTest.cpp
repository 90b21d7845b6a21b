#include "archive/HeapReuse.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace orvanel {
namespace {

// A block of the size of a large catalogue's arrays, freed, stays with the process: it came
// from the heap rather than a mapping of its own, and once freed the heap still holds it.
TEST(HeapReuse, FreedCatalogueSizedBlockStaysForTheNextOpen)
{
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the C library's own heap is not the one in use";
#else
    KeepFreedMemoryForReuse();
    constexpr size_t kBlock = size_t(24) << 20;
    const size_t mappedBefore = mallinfo2().hblkhd;
    void* volatile block = std::malloc(kBlock);
    ASSERT_NE(block, nullptr);
    std::memset(block, 1, kBlock);
    EXPECT_EQ(mallinfo2().hblkhd, mappedBefore);
    std::free(block);
    EXPECT_GE(mallinfo2().fordblks, kBlock);
#endif
}

} // namespace
} // namespace orvanel
