#include "platform/Memory.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace przenosnik::platform {

namespace {
#if defined(__GLIBC__)
constexpr int DefaultThreshold = 128 * 1024;
#endif
} // namespace

KeptHeap::KeptHeap()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

KeptHeap::~KeptHeap()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, DefaultThreshold);
    mallopt(M_TRIM_THRESHOLD, DefaultThreshold);
    malloc_trim(0);
#endif
}

} // namespace przenosnik::platform
