// How the program takes memory from the system and how the C library keeps
// what the program frees.
#pragma once

#include <cstddef>

namespace przenosnik::platform {

// While one lives, freed memory stays with the process for the next
// allocation instead of going back to the system at once: a long PDF report
// frees and takes again a buffer of some hundred kilobytes for every page,
// and glibc's default thresholds hand it back and map it afresh each time (a
// quarter of the report's time). Where the C library keeps memory anyway,
// this does nothing.
class KeptHeap
{
public:
    KeptHeap();
    ~KeptHeap();
    KeptHeap(const KeptHeap&) = delete;
    KeptHeap& operator=(const KeptHeap&) = delete;
};

// The size of the system's large pages where it has them (2 MiB on x86-64).
inline constexpr std::size_t LargePageSize = std::size_t(2) << 20;
// The first block of a store that grows in large blocks: a short run touches
// a few small pages of it, not a large page.
inline constexpr std::size_t FirstBlockSize = std::size_t(64) << 10;

// Memory taken from the system directly, for stores that grow through a whole
// run and are freed whole (the window's trace lines and document results).
// The first touch of every 4 KiB page costs a fault, on a virtual machine
// about ten microseconds: for a run's tens of megabytes a good part of the
// run. Where the system gives large pages to any program that asks (Linux),
// a block of LargePageSize or more starts at a multiple of it and is asked to
// be backed by them: one fault per 2 MiB. The memory starts zeroed. Throws
// std::bad_alloc when the system refuses.
class LargeBlock
{
public:
    LargeBlock() = default;
    explicit LargeBlock(std::size_t bytes);
    ~LargeBlock();
    LargeBlock(LargeBlock&& other) noexcept;
    LargeBlock& operator=(LargeBlock&& other) noexcept;
    LargeBlock(const LargeBlock&) = delete;
    LargeBlock& operator=(const LargeBlock&) = delete;

    void* data() const { return m_data; }
    // At least the bytes asked for.
    std::size_t size() const { return m_size; }

private:
    void release();

    void* m_data = nullptr;
    std::size_t m_size = 0;
};

} // namespace przenosnik::platform
