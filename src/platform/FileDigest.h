// SHA-256 digests of parts of a file, and flushing files and directories to disk.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QFile;

namespace przenosnik {

// The SHA-256 of the bytes from `from` up to `to` of an open file, followed by
// `suffix`, as 64 lower-case hex digits; empty when the bytes cannot be read.
QByteArray Sha256Hex(QFile& file, qint64 from, qint64 to, const QByteArray& suffix = {});
QByteArray Sha256Hex(const QByteArray& bytes);

// Waits until what was written to the file is on the disk.
bool syncToDisk(QFile& file);
// Waits until the directory's list of names (a file created or removed) is on the disk.
bool syncDirectory(const QString& path);

} // namespace przenosnik
