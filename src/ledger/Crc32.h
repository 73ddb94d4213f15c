// The CRC-32 of the zip and PNG formats (reflected polynomial 0xEDB88320),
// the check of every record of the journal.
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace przenosnik {

// The CRC-32 of the bytes; `crc` continues an earlier result over more bytes.
quint32 Crc32(QByteArrayView bytes, quint32 crc = 0);

} // namespace przenosnik
