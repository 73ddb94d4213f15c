#include "conversion/ExportDigest.h"

#include "conversion/KsefRun.h"
#include "platform/FileDigest.h"

#include <QFile>
#include <QFileInfo>

namespace przenosnik {

namespace {

QByteArray digestOfFile(const QString& path, qint64* size = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (size)
        *size = file.size();
    return Sha256Hex(file, 0, file.size());
}

} // namespace

ExportDigest digestOfExport(const QString& path)
{
    ExportDigest digest;
    if (!QFileInfo(path).isDir()) {
        digest.sha256 = digestOfFile(path, &digest.size);
        return digest;
    }
    QByteArray listing;
    for (const QString& file : ksefFiles(path)) {
        const QByteArray sha256 = digestOfFile(file);
        if (sha256.isEmpty())
            return digest;
        listing += QFileInfo(file).fileName().toUtf8() + '\n' + sha256 + '\n';
    }
    digest.sha256 = Sha256Hex(listing);
    return digest;
}

} // namespace przenosnik
