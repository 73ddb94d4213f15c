#include "conversion/DocumentBlock.h"

#include "encoding/Windows1250.h"

namespace przenosnik {

void DocumentBlock::clear()
{
    m_bytes.clear();
    m_ends.clear();
}

void DocumentBlock::append(QByteArrayView line)
{
    m_bytes.append(line.data(), size_t(line.size()));
    m_ends.push_back(qsizetype(m_bytes.size()));
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
