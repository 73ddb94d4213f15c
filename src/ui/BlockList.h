// A list of plain records kept in blocks that never move: a list that grows to
// hundreds of thousands of records costs no copies of the ones it holds, nor
// twice its size while it grows. The first block is a small one, so that a
// short list touches no more than a few pages.
#pragma once

#include "platform/Memory.h"

#include <QtGlobal>

#include <new>
#include <type_traits>
#include <vector>

namespace przenosnik {

template <typename T> class BlockList
{
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "the records are kept as bytes and dropped without a destructor");

public:
    // perBlock records in every block but the first, which holds firstBlock of them.
    explicit BlockList(qsizetype perBlock = qsizetype(platform::LargePageSize / sizeof(T)),
                       qsizetype firstBlock = qsizetype(platform::FirstBlockSize / sizeof(T)))
        : m_perBlock(qMax<qsizetype>(1, perBlock)), m_first(qBound<qsizetype>(1, firstBlock, m_perBlock))
    {
    }

    void append(const T& value)
    {
        if (m_size == capacity()) {
            m_blocks.emplace_back(size_t(m_blocks.empty() ? m_first : m_perBlock) * sizeof(T));
        }
        new (slot(m_size)) T(value);
        ++m_size;
    }
    const T& at(qsizetype index) const
    {
        Q_ASSERT(index >= 0 && index < m_size);
        return *slot(index);
    }
    T& operator[](qsizetype index) { return const_cast<T&>(at(index)); }
    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    void clear()
    {
        m_blocks.clear();
        m_size = 0;
    }

private:
    qsizetype capacity() const
    {
        return m_blocks.empty() ? 0 : m_first + qsizetype(m_blocks.size() - 1) * m_perBlock;
    }
    T* slot(qsizetype index) const
    {
        if (index < m_first) {
            return static_cast<T*>(m_blocks.front().data()) + index;
        }
        const qsizetype rest = index - m_first;
        return static_cast<T*>(m_blocks[size_t(1 + rest / m_perBlock)].data()) + rest % m_perBlock;
    }

    qsizetype m_perBlock;
    qsizetype m_first;
    qsizetype m_size = 0;
    std::vector<platform::LargeBlock> m_blocks;
};

} // namespace przenosnik
