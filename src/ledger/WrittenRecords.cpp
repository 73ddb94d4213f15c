#include "ledger/WrittenRecords.h"

#include "ledger/LedgerEntry.h"
#include "platform/NativeFile.h"

#include <QByteArray>
#include <QHashFunctions>

#include <algorithm>

namespace przenosnik {

namespace {

quint32 digestOf(QByteArrayView record)
{
    return quint32(qHashBits(record.data(), size_t(record.size()), 0x5a17));
}

} // namespace

void WrittenRecords::add(qint64 position, QByteArrayView record, int tag)
{
    m_records.push_back({position, digestOf(record), tag});
    m_end = std::max(m_end, position + record.size());
}

bool WrittenRecords::lastIntact(int handle) const
{
    if (m_records.empty())
        return true;
    const Record& last = m_records.back();
    char bytes[LedgerEntrySize];
    return platform::readAt(handle, last.position, bytes, LedgerEntrySize) == LedgerEntrySize &&
           digestOf(QByteArrayView(bytes, LedgerEntrySize)) == last.digest;
}

QList<int> WrittenRecords::takeLost(int handle, qint64 size)
{
    QList<int> lost;
    std::vector<Record> kept;
    // Read in slices: a run may have written many thousands of records.
    constexpr qint64 Slice = 256 * LedgerEntrySize;
    QByteArray slice;
    qint64 sliceStart = -1;
    for (const Record& record : m_records) {
        bool intact = false;
        if (record.position + LedgerEntrySize <= size) {
            if (sliceStart < 0 || record.position < sliceStart ||
                record.position + LedgerEntrySize > sliceStart + slice.size()) {
                sliceStart = record.position;
                slice.resize(qsizetype(std::min(Slice, size - sliceStart)));
                const qint64 got = platform::readAt(handle, sliceStart, slice.data(), slice.size());
                slice.resize(qsizetype(std::max<qint64>(got, 0)));
            }
            const qint64 offset = record.position - sliceStart;
            intact = offset + LedgerEntrySize <= slice.size() &&
                     digestOf(QByteArrayView(slice).sliced(offset, LedgerEntrySize)) == record.digest;
        }
        if (intact)
            kept.push_back(record);
        else
            lost.append(record.tag);
    }
    m_records.swap(kept);
    m_end = m_records.empty() ? 0 : m_records.back().position + LedgerEntrySize;
    return lost;
}

} // namespace przenosnik
