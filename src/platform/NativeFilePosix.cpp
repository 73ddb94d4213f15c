#include "platform/NativeFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace przenosnik::platform {

namespace {

using FileStatus = struct stat;

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

FileIdentity identityFrom(const FileStatus& status)
{
    return {quint64(status.st_dev), quint64(status.st_ino), true};
}

// A regular file, opened without waiting, is switched back to blocking writes
// and reads; anything else is closed again.
bool keepIfRegular(int handle)
{
    FileStatus status{};
    const int flags = ::fcntl(handle, F_GETFL);
    return ::fstat(handle, &status) == 0 && S_ISREG(status.st_mode) && flags >= 0 &&
           ::fcntl(handle, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

} // namespace

EntryKind entryAt(const QString& path, Links links)
{
    FileStatus status{};
    const QByteArray name = encoded(path);
    const int result =
        links == Links::Follow ? ::stat(name.constData(), &status) : ::lstat(name.constData(), &status);
    if (result != 0)
        return EntryKind::None;
    return S_ISREG(status.st_mode) ? EntryKind::File : EntryKind::Other;
}

OpenedFile openRegularFile(const QString& path, Access access, Links links, Creation creation)
{
    OpenedFile opened;
    if (path.isEmpty())
        return opened;
    const QByteArray name = encoded(path);
    // A link is looked through only to a regular file: a device is never opened.
    if (links == Links::Follow && creation == Creation::ExistingOnly &&
        entryAt(path, Links::Follow) != EntryKind::File)
        return opened;
    int flags = (access == Access::ReadWrite ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC;
    if (links == Links::Refuse)
        flags |= O_NOFOLLOW;
    if (creation == Creation::CreateNew) {
        opened.handle = ::open(name.constData(), flags | O_CREAT | O_EXCL, 0666);
        opened.created = opened.handle >= 0;
    } else {
        opened.handle = ::open(name.constData(), flags);
        if (opened.handle < 0 && errno == ENOENT && creation == Creation::CreateIfMissing) {
            opened.handle = ::open(name.constData(), flags | O_CREAT | O_EXCL, 0666);
            opened.created = opened.handle >= 0;
        }
    }
    if (opened.handle >= 0 && !keepIfRegular(opened.handle)) {
        ::close(opened.handle);
        opened = {};
    }
    return opened;
}

void closeHandle(int handle)
{
    if (handle >= 0)
        ::close(handle);
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

qint64 appendAtEnd(int handle, QByteArrayView bytes, qint64& landedAt)
{
    // O_APPEND only for this one write: with it, pwrite() would append too.
    const int flags = ::fcntl(handle, F_GETFL);
    if (flags < 0 || ::fcntl(handle, F_SETFL, flags | O_APPEND) != 0)
        return -1;
    ssize_t written = -1;
    do {
        written = ::write(handle, bytes.data(), size_t(bytes.size()));
    } while (written < 0 && errno == EINTR);
    if (written < 0) {
        ::fcntl(handle, F_SETFL, flags);
        return -1;
    }
    const off_t end = ::lseek(handle, 0, SEEK_CUR);
    const bool restored = ::fcntl(handle, F_SETFL, flags) == 0;
    landedAt = end >= 0 && restored ? qint64(end) - written : -1;
    return written;
}

bool setAppending(int handle, bool appending)
{
    const int flags = ::fcntl(handle, F_GETFL);
    return flags >= 0 && ::fcntl(handle, F_SETFL, appending ? flags | O_APPEND : flags & ~O_APPEND) == 0;
}

qint64 appendToEnd(int handle, QByteArrayView bytes)
{
    ssize_t written = -1;
    do {
        written = ::write(handle, bytes.data(), size_t(bytes.size()));
    } while (written < 0 && errno == EINTR);
    return qint64(written);
}

qint64 appendedEnd(int handle)
{
    // O_APPEND leaves the handle's position just past what it wrote.
    return qint64(::lseek(handle, 0, SEEK_CUR));
}

OpenFileState stateOf(int handle)
{
    FileStatus status{};
    if (::fstat(handle, &status) != 0)
        return {};
    return {qint64(status.st_size), status.st_nlink > 0};
}

qint64 modifiedMsecs(int handle)
{
    FileStatus status{};
    if (::fstat(handle, &status) != 0)
        return -1;
    return qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
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

qint64 fileSize(int handle)
{
    FileStatus status{};
    return ::fstat(handle, &status) == 0 ? qint64(status.st_size) : -1;
}

bool truncateFile(int handle, qint64 size)
{
    int result = 0;
    do {
        result = ::ftruncate(handle, off_t(size));
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

bool flushToDisk(int handle)
{
    return ::fsync(handle) == 0;
}

void startFlushToDisk(int handle)
{
#ifdef SYNC_FILE_RANGE_WRITE
    ::sync_file_range(handle, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(handle);
#endif
}

bool syncDirectory(const QString& path)
{
    const int handle = ::open(encoded(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return false;
    const bool synced = ::fsync(handle) == 0;
    ::close(handle);
    return synced;
}

FileIdentity identityOf(int handle)
{
    FileStatus status{};
    return ::fstat(handle, &status) == 0 ? identityFrom(status) : FileIdentity{};
}

FileIdentity identityOfPath(const QString& path)
{
    FileStatus status{};
    return ::stat(encoded(path).constData(), &status) == 0 ? identityFrom(status) : FileIdentity{};
}

bool touchFile(const QString& path)
{
    return ::utimensat(AT_FDCWD, encoded(path).constData(), nullptr, AT_SYMLINK_NOFOLLOW) == 0;
}

bool renameOver(const QString& from, const QString& to)
{
    return ::rename(encoded(from).constData(), encoded(to).constData()) == 0;
}

bool removeFile(const QString& path)
{
    return ::unlink(encoded(path).constData()) == 0;
}

} // namespace przenosnik::platform
