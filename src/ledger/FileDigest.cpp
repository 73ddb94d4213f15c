#include "ledger/FileDigest.h"

#include "ledger/Sha256.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

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
    if (!file.flush())
        return false;
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return true;
#endif
}

bool syncDirectory(const QString& path)
{
#ifdef Q_OS_UNIX
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
    if (handle < 0)
        return false;
    const bool synced = ::fsync(handle) == 0;
    ::close(handle);
    return synced;
#else
    Q_UNUSED(path);
    return true;
#endif
}

} // namespace przenosnik
