#include "support/LedgerFiles.h"

#include "ledger/LedgerEntry.h"
#include "ledger/MonthFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

namespace przenosnik::test {

QString monthFilePath(const QString& companyDirectory, int year, int month)
{
    return pathIn(companyDirectory, monthFileName(year, month));
}

Files ledgerFiles(const QString& companyDirectory)
{
    Files files;
    const QDir dir(companyDirectory);
    for (const QString& name : dir.entryList(QDir::Files)) {
        if (!name.startsWith(QStringLiteral("PRZENOSN.")))
            files.insert(name, readFile(dir.filePath(name)));
    }
    return files;
}

QList<QByteArray> wholeRecords(const QByteArray& fileBytes)
{
    QList<QByteArray> records;
    for (qsizetype at = 0; at + LedgerEntrySize <= fileBytes.size(); at += LedgerEntrySize)
        records.append(fileBytes.mid(at, LedgerEntrySize));
    return records;
}

qint32 entryNumber(const QByteArray& record)
{
    Q_ASSERT(record.size() == LedgerEntrySize);
    return qFromLittleEndian<qint32>(record.constData() + field::EntryNo.offset);
}

QByteArray documentNumber(const QByteArray& record)
{
    Q_ASSERT(record.size() == LedgerEntrySize);
    const int length = std::min(static_cast<int>(static_cast<quint8>(record.at(field::DocNo.offset))),
                                field::DocNo.width - 1);
    return record.mid(field::DocNo.offset + 1, length);
}

QByteArray foreignRecord(qint32 entryNo, char fill)
{
    QByteArray record(LedgerEntrySize, fill);
    qToLittleEndian(entryNo, record.data());
    return record;
}

bool appendToFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(bytes) == bytes.size();
}

} // namespace przenosnik::test
