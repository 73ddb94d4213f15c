#include "ledger/RecordIo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace przenosnik::io {

OpenFileState stateOf(int handle)
{
    struct stat status
    {
    };
    OpenFileState state;
    if (::fstat(handle, &status) != 0)
        return state;
    state.size = status.st_size;
    state.named = status.st_nlink > 0;
    state.modifiedMsecs = qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
    return state;
}

bool setAppending(int handle, bool on)
{
    const int flags = ::fcntl(handle, F_GETFL);
    return flags >= 0 && ::fcntl(handle, F_SETFL, on ? flags | O_APPEND : flags & ~O_APPEND) == 0;
}

qint64 appendToEnd(int handle, QByteArrayView bytes)
{
    ssize_t written = -1;
    do {
        written = ::write(handle, bytes.data(), size_t(bytes.size()));
    } while (written < 0 && errno == EINTR);
    return written;
}

qint64 appendedEnd(int handle)
{
    return qint64(::lseek(handle, 0, SEEK_CUR));
}

qint64 readAt(int handle, qint64 position, char* data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::pread(handle, data + done, size_t(size - done), off_t(position + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

bool writeAt(int handle, qint64 position, QByteArrayView bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::pwrite(handle, bytes.data() + done, size_t(bytes.size() - done), off_t(position + done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

bool truncateFile(int handle, qint64 size)
{
    return ::ftruncate(handle, off_t(size)) == 0;
}

} // namespace przenosnik::io

#include <QFile>
#include <QSysInfo>

#include <csignal>

namespace przenosnik::io {

int createNewFile(const QString& path, bool& existed)
{
    const int handle = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    existed = handle < 0 && errno == EEXIST;
    return handle;
}

void closeHandle(int handle)
{
    if (handle >= 0)
        ::close(handle);
}

Entry entryAt(const QString& path)
{
    struct stat status
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return Entry::None;
    return S_ISREG(status.st_mode) ? Entry::File : Entry::Other;
}

Identity identityOfPath(const QString& path)
{
    struct stat status
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return {quint64(status.st_dev), quint64(status.st_ino), true};
}

bool touchFile(const QString& path)
{
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), nullptr, AT_SYMLINK_NOFOLLOW) == 0;
}

bool removeFile(const QString& path)
{
    return ::unlink(QFile::encodeName(path).constData()) == 0;
}

QString hostName()
{
    return QSysInfo::machineHostName();
}

qint64 processId()
{
    return qint64(::getpid());
}

bool processIsAlive(qint64 id)
{
    return id > 0 && (::kill(pid_t(id), 0) == 0 || errno == EPERM);
}

} // namespace przenosnik::io
