// A list of plain records kept in blocks of a fixed size that never move: a
// list that grows to hundreds of thousands of records costs no copies of the
// ones it holds, nor twice its size while it grows.
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
    explicit BlockList(qsizetype perBlock = qsizetype(platform::LargePageSize / sizeof(T)))
        : m_perBlock(qMax<qsizetype>(1, perBlock))
    {
    }

    void append(const T& value)
    {
        if (m_size == qsizetype(m_blocks.size()) * m_perBlock) {
            m_blocks.emplace_back(size_t(m_perBlock) * sizeof(T));
        }
        new (static_cast<T*>(m_blocks.back().data()) + m_size % m_perBlock) T(value);
        ++m_size;
    }
    const T& at(qsizetype index) const
    {
        Q_ASSERT(index >= 0 && index < m_size);
        return static_cast<const T*>(m_blocks[size_t(index / m_perBlock)].data())[index % m_perBlock];
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
    qsizetype m_perBlock;
    qsizetype m_size = 0;
    std::vector<platform::LargeBlock> m_blocks;
};

} // namespace przenosnik
