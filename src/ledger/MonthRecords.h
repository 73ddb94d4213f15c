// Reading the entries already in a monthly file, without changing it.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace przenosnik {

// Opens the file read-only, sharing it with the ledger program, and hands
// every whole 400-byte record to `record` with its 1-based position; a
// partial record at the end is passed over. Answers the number of whole
// records, or -1 when the file cannot be opened or read.
qint64 ReadWholeRecords(const QString& path, const std::function<void(QByteArrayView, qint32)>& record);

} // namespace przenosnik
