// Texts (UTF-16 or UTF-8) kept one after another in blocks of a fixed size,
// none split between two blocks and none moved once stored: a store that
// grows to hundreds of thousands of texts costs no copies of what it already
// holds, nor twice its size while it grows, and touches no memory ahead. The
// first block is a small one, for the few texts of a short run.
#pragma once

#include "platform/Memory.h"

#include <QtGlobal>

#include <vector>

namespace przenosnik {

template <typename Char> class TextBlocks
{
public:
    struct Place
    {
        quint32 block = 0;
        quint32 offset = 0;
    };

    explicit TextBlocks(qsizetype blockSize = qsizetype(platform::LargePageSize / sizeof(Char)))
        : m_blockSize(blockSize)
    {
    }

    // Makes room in one block for up to that many units in all, and says
    // where they will start: write them at end() and count them with grow().
    Place makeRoom(qsizetype length)
    {
        if (m_blocks.empty() || m_blocks.back().size + length > m_blocks.back().capacity) {
            // A text longer than a block gets a block of its own size.
            const qsizetype size = m_blocks.empty()
                                       ? qMin(m_blockSize, qsizetype(platform::FirstBlockSize / sizeof(Char)))
                                       : m_blockSize;
            const qsizetype capacity = qMax(size, length);
            m_blocks.push_back(Block{platform::LargeBlock(size_t(capacity) * sizeof(Char)), 0, capacity});
        }
        return Place{quint32(m_blocks.size() - 1), quint32(m_blocks.back().size)};
    }
    Char* end() { return m_blocks.back().units() + m_blocks.back().size; }
    void grow(qsizetype written) { m_blocks.back().size += written; }

    const Char* data(Place place) const { return m_blocks.at(place.block).units() + place.offset; }
    // The units stored in a block.
    qsizetype blockSize(quint32 block) const { return m_blocks.at(block).size; }
    void clear() { m_blocks.clear(); }

private:
    struct Block
    {
        platform::LargeBlock memory;
        qsizetype size;
        qsizetype capacity;

        Char* units() const { return static_cast<Char*>(memory.data()); }
    };
    qsizetype m_blockSize;
    std::vector<Block> m_blocks;
};

} // namespace przenosnik
