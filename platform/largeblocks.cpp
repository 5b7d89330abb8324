#include "platform/largeblocks.h"

#include <cstdlib> // defines __GLIBC__ where it is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void LargeBlocks::returnToSystem()
{
#if defined(__GLIBC__)
    // A fixed threshold also turns off the library's raising of it. Audio chunks (a second,
    // up to about 1.5 MB) stay below it and keep reusing the heap, which the looser trim
    // threshold keeps from shrinking and growing again with every chunk.
    mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 16 * 1024 * 1024);
#endif
}
