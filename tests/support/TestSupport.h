// Helpers shared by the tests.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

namespace przenosnik::test {

// Describes the first byte where two buffers differ, or returns an empty string.
QString firstDifference(const QByteArray& actual, const QByteArray& expected);

// A file's path in a directory as the program forms it: the directory as
// given, the system's separator, the name ("C:/x/firma1\2014T305.3" on Windows,
// "/x/firma1/2014T305.3" elsewhere). An empty name leaves the separator last.
QString pathIn(const QString& directory, const QString& name);

// What a look-up of a name in another letter case leads to: where file names
// ignore letter case the path as written, which opens as it is; elsewhere the
// path as it is on disk.
QString foundAs(const QString& asWritten, const QString& onDisk);

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
