#include "platform/Memory.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdlib> // defines __GLIBC__ where the C library is glibc
#include <new>
#include <sys/mman.h>
#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

// Under AddressSanitizer the blocks come from the C library's heap, which it
// watches: a store that writes past the end of its block is caught there.
#if defined(__SANITIZE_ADDRESS__)
#define PRZENOSNIK_WATCHED_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PRZENOSNIK_WATCHED_HEAP 1
#endif
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

#if defined(PRZENOSNIK_WATCHED_HEAP)
LargeBlock::LargeBlock(std::size_t bytes)
{
    m_size = qMax<std::size_t>(bytes, 1);
    m_data = std::calloc(m_size, 1);
    if (!m_data) {
        throw std::bad_alloc();
    }
}

void LargeBlock::release()
{
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
}
#else
LargeBlock::LargeBlock(std::size_t bytes)
{
    const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
    const std::size_t size = (qMax<std::size_t>(bytes, 1) + page - 1) / page * page;
    // A large block is mapped with a large page's room to spare, and what lies
    // before its first large-page boundary and after its end handed back.
    const std::size_t slack = size >= LargePageSize ? LargePageSize : 0;
    void* const mapped =
        mmap(nullptr, size + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    char* start = static_cast<char*>(mapped);
    if (slack != 0) {
        const std::size_t before = (LargePageSize - std::uintptr_t(start) % LargePageSize) % LargePageSize;
        if (before != 0) {
            munmap(start, before);
        }
        if (slack - before != 0) {
            munmap(start + before + size, slack - before);
        }
        start += before;
#if defined(MADV_HUGEPAGE)
        // Advice only: where the system has no large pages the block is
        // backed by small ones.
        madvise(start, size, MADV_HUGEPAGE);
#endif
    }
    m_data = start;
    m_size = size;
}

void LargeBlock::release()
{
    if (m_data) {
        munmap(m_data, m_size);
        m_data = nullptr;
        m_size = 0;
    }
}
#endif

} // namespace przenosnik::platform
