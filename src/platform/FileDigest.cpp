#include "platform/FileDigest.h"

#include "platform/Sha256.h"

#include "platform/NativeFile.h"

#include <QFile>

namespace przenosnik {

namespace {
constexpr qint64 ChunkSize = 1024 * 1024;
}

QByteArray Sha256Hex(QFile& file, qint64 from, qint64 to, const QByteArray& suffix)
{
    if (from < 0 || to < from || !file.seek(from))
        return {};
    Sha256 hash;
    QByteArray chunk(qMin(to - from, ChunkSize), Qt::Uninitialized);
    for (qint64 left = to - from; left > 0;) {
        const qint64 got = file.read(chunk.data(), qMin(left, ChunkSize));
        if (got <= 0)
            return {};
        hash.addData(QByteArrayView(chunk.constData(), got));
        left -= got;
    }
    hash.addData(suffix);
    return hash.result().toHex();
}

QByteArray Sha256Hex(const QByteArray& bytes)
{
    Sha256 hash;
    hash.addData(bytes);
    return hash.result().toHex();
}

bool syncToDisk(QFile& file)
{
    return file.flush() && platform::flushToDisk(file.handle());
}

bool syncDirectory(const QString& path)
{
    return platform::syncDirectory(path);
}

} // namespace przenosnik
