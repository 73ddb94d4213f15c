// Looking at monthly ledger files from the outside, as the ledger program would.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QtGlobal>

namespace przenosnik::test {

// The path of a month's file in a company directory: "<dir>/2014T305.3".
QString monthFilePath(const QString& companyDirectory, int year, int month);

// The whole 400-byte records of a file's bytes; a partial tail is left out.
QList<QByteArray> wholeRecords(const QByteArray& fileBytes);
// The EntryNo field (offset 0, little-endian) of a record.
qint32 entryNumber(const QByteArray& record);
// The document number (DocNo) of a record, as its bytes.
QByteArray documentNumber(const QByteArray& record);

// A record the ledger program might have written itself: every byte `fill`
// except the EntryNo.
QByteArray foreignRecord(qint32 entryNo, char fill);

// The company directory's files as the ledger program sees them, by name:
// every file but the converter's own (journal, lock: "PRZENOSN.*").
using Files = QMap<QString, QByteArray>;
Files ledgerFiles(const QString& companyDirectory);

// Appends bytes to a file the way another program would: open, write, close.
bool appendToFile(const QString& path, const QByteArray& bytes);

} // namespace przenosnik::test
