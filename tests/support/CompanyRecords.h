// Records of the ledger program's company list, built for tests.
#pragma once

#include <QByteArray>
#include <initializer_list>

namespace przenosnik::test {

// Bytes from their decimal values.
QByteArray bytes(std::initializer_list<int> values);

// One 103-byte record. A length byte of -1 is the text's own size; the
// characters of each field are padded with '#' and the unread rest of the
// record is 'x', so that reading past a field's length shows.
QByteArray companyRecord(const QByteArray& firma, const QByteArray& katalog, const QByteArray& info,
                         int firmaLength = -1, int katalogLength = -1, int infoLength = -1);

} // namespace przenosnik::test
