#include "platform/Memory.h"

#include <new>

#include <windows.h>

namespace przenosnik::platform {

// The Windows heap keeps freed blocks for the process by itself.
KeptHeap::KeptHeap() = default;
KeptHeap::~KeptHeap() = default;

// Large pages on Windows need a privilege that users do not hold; the block is
// committed in small ones.
LargeBlock::LargeBlock(std::size_t bytes)
{
    const std::size_t size = bytes == 0 ? 1 : bytes;
    m_data = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!m_data) {
        throw std::bad_alloc();
    }
    m_size = size;
}

void LargeBlock::release()
{
    if (m_data) {
        VirtualFree(m_data, 0, MEM_RELEASE);
        m_data = nullptr;
        m_size = 0;
    }
}

} // namespace przenosnik::platform
