// Windows-1250, the code page of the export files, the ledger texts before
// transcoding and the 8-bit file paths. Every byte 0..255 survives a round trip.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace przenosnik {

QString decodeWindows1250(QByteArrayView bytes);
// A character that Windows-1250 cannot hold becomes '?'.
QByteArray encodeWindows1250(QStringView text);
// The byte of one character, -1 when the code page has none.
int windows1250Byte(char32_t character);
// True when every character of the text has a Windows-1250 byte.
bool fitsWindows1250(QStringView text);

} // namespace przenosnik
