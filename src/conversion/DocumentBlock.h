// The document lines of one "Dokument{" block, kept as the export file's
// Windows-1250 bytes, and the forward-moving cursor the lookups share.
#pragma once

#include <QByteArrayView>
#include <QStringList>
#include <QtGlobal>

#include <string>
#include <vector>

namespace przenosnik {

class DocumentBlock
{
public:
    void clear();
    void append(QByteArrayView line);

    qsizetype size() const { return qsizetype(m_ends.size()); }
    // The line at the index, without its TAB; an empty line past the end.
    QByteArrayView line(qsizetype index) const
    {
        if (index < 0 || index >= size())
            return {};
        const qsizetype begin = index == 0 ? 0 : m_ends[size_t(index - 1)];
        return QByteArrayView(m_bytes.data() + begin, m_ends[size_t(index)] - begin);
    }
    // The lines as text, for the window's copy of the last block.
    QStringList toStringList() const;

private:
    // Every line, one after another, and where each one ends; both keep
    // their storage from block to block.
    std::string m_bytes;
    std::vector<qsizetype> m_ends;
};

// The position of the document lookups in the current block: the next line
// a lookup examines (LineCursor) and the line it examined last (CurrentLine).
class DocumentCursor
{
public:
    explicit DocumentCursor(const DocumentBlock& block) : m_block(block) {}

    void reset() { m_next = 0; }
    qint32 lineCursor() const { return m_next; }
    QByteArrayView currentLine() const { return m_next > 0 ? m_block.line(m_next - 1) : QByteArrayView(); }

    // From the cursor on, every examined line is passed, and the first one the
    // lookup accepts ends the search: its value, or nothing at the block's end.
    template <typename LineLookup> auto findForward(LineLookup&& lookup) -> decltype(lookup(QByteArrayView()))
    {
        while (m_next < m_block.size()) {
            const QByteArrayView line = m_block.line(m_next++);
            if (auto value = lookup(line))
                return value;
        }
        return {};
    }

private:
    const DocumentBlock& m_block;
    qint32 m_next = 0;
};

} // namespace przenosnik
