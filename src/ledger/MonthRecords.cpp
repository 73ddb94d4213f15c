#include "ledger/MonthRecords.h"

#include "ledger/LedgerEntry.h"

#include <QByteArray>
#include <QFile>

#include <cstring>

namespace przenosnik {

namespace {

// Records read at a time: a month of a busy company in a few reads, little memory.
constexpr qint64 RecordsPerRead = 1024;

} // namespace

qint64 ReadWholeRecords(const QString& path, const std::function<void(QByteArrayView, qint32)>& record)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    QByteArray buffer(RecordsPerRead * LedgerEntrySize, Qt::Uninitialized);
    qint64 records = 0;
    qint64 filled = 0; // bytes of a record not yet complete at the buffer's start
    for (;;) {
        const qint64 got = file.read(buffer.data() + filled, buffer.size() - filled);
        if (got < 0)
            return -1;
        if (got == 0)
            return records; // what is left in the buffer is a partial record
        filled += got;
        const qint64 whole = filled / LedgerEntrySize;
        for (qint64 i = 0; i < whole; ++i) {
            ++records;
            record(QByteArrayView(buffer.constData() + i * LedgerEntrySize, LedgerEntrySize),
                   static_cast<qint32>(records));
        }
        const qint64 rest = filled - whole * LedgerEntrySize;
        if (rest > 0 && whole > 0)
            std::memmove(buffer.data(), buffer.constData() + whole * LedgerEntrySize, size_t(rest));
        filled = rest;
    }
}

} // namespace przenosnik
