#include "platform/largeblocks.h"

#include <cstdlib> // defines __GLIBC__ where it is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void LargeBlocks::returnToSystem()
{
#if defined(__GLIBC__)
    // A fixed threshold also turns off the library's raising of it.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}
