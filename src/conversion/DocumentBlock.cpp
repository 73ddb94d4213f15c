#include "conversion/DocumentBlock.h"

#include "encoding/Windows1250.h"

namespace przenosnik {

void DocumentBlock::clear()
{
    // The storage stays for the next block.
    m_bytes.resize(0);
    m_ends.resize(0);
}

void DocumentBlock::append(QByteArrayView line)
{
    m_bytes.append(line);
    m_ends.append(m_bytes.size());
}

QByteArrayView DocumentBlock::line(qsizetype index) const
{
    if (index < 0 || index >= m_ends.size())
        return {};
    const qsizetype begin = index == 0 ? 0 : m_ends.at(index - 1);
    return QByteArrayView(m_bytes).sliced(begin, m_ends.at(index) - begin);
}

QStringList DocumentBlock::toStringList() const
{
    QStringList lines;
    lines.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        lines.append(decodeWindows1250(line(i)));
    return lines;
}

} // namespace przenosnik
