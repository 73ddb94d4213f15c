// Helpers shared by the tests.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

namespace przenosnik::test {

// Describes the first byte where two buffers differ, or returns an empty string.
QString firstDifference(const QByteArray& actual, const QByteArray& expected);

// Reads a whole file; an unreadable file gives an empty array.
QByteArray readFile(const QString& path);
// As writeFile, dated an hour back: what stands in a file was left there long ago
// (a partial entry in a monthly file is then a left-over one, replaced at once).
bool writeOldFile(const QString& path, const QByteArray& bytes);
bool writeFile(const QString& path, const QByteArray& bytes);
// Everything written to a stream opened with std::tmpfile(), read back; closes it.
QByteArray readBackAndClose(std::FILE* file);

} // namespace przenosnik::test

// Compares two byte buffers and names the first differing offset on failure.
#define PRZ_COMPARE_BYTES(actual, expected)                                                                  \
    do {                                                                                                     \
        const QString prz_difference = przenosnik::test::firstDifference((actual), (expected));              \
        QVERIFY2(prz_difference.isEmpty(), qPrintable(prz_difference));                                      \
    } while (false)
