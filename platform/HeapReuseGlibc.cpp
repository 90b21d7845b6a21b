#include "archive/HeapReuse.h"

#include <cstdlib> // defines __GLIBC__ with the C library's own headers

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace orvanel {

void KeepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    // Blocks up to 32 MiB (the most the library allows) come from the heap instead of
    // mappings of their own, and up to 128 MiB freed at the heap's end stays there: the
    // catalogue of a million entries with its scratch arrays. Setting either figure also stops
    // the library from adjusting them as it goes.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}

} // namespace orvanel
