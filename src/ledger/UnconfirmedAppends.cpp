#include "ledger/UnconfirmedAppends.h"

#include "ledger/LedgerEntry.h"

#include <algorithm>
#include <functional>

namespace przenosnik {

void UnconfirmedAppends::add(QByteArrayView record, int tag)
{
    m_records.append(record.data(), record.size());
    m_tags.append(tag);
}

QByteArrayView UnconfirmedAppends::record(qsizetype index) const
{
    return QByteArrayView(m_records).sliced(index * LedgerEntrySize, LedgerEntrySize);
}

QList<qint64> UnconfirmedAppends::locate(QByteArrayView contents, qint64 offset) const
{
    QList<qint64> positions;
    positions.reserve(m_tags.size());
    qsizetype from = 0;
    for (qsizetype index = 0; index < m_tags.size(); ++index) {
        const QByteArrayView wanted = record(index);
        // Each entry carries the number it was written with, so none is taken
        // for another of this run; another program's record would have to
        // equal it in all 400 bytes.
        const auto begin = contents.begin() + from;
        const auto found = std::search(begin, contents.end(),
                                       std::boyer_moore_horspool_searcher(wanted.begin(), wanted.end()));
        if (found == contents.end()) {
            positions.append(-1);
            continue;
        }
        const qsizetype at = found - contents.begin();
        positions.append(offset + at);
        from = at + wanted.size();
    }
    return positions;
}

} // namespace przenosnik
