#include "ledger/MonthFile.h"

#include "encoding/Windows1250.h"
#include "ledger/DosPath.h"

#include <QDir>
#include <QFileInfo>

#include <limits>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace przenosnik {

namespace {

#ifdef Q_OS_UNIX
using FileStatus = struct stat;
#endif

enum class Entry
{
    None,    // nothing has this name
    File,    // a regular file, not a link
    Refused, // a link (dangling ones too), a directory, a FIFO, a device: never a monthly file
};

// What stands under this name, without following a symbolic link.
Entry entryAt(const QString& path)
{
#ifdef Q_OS_UNIX
    FileStatus status{};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return Entry::None;
    return S_ISREG(status.st_mode) ? Entry::File : Entry::Refused;
#else
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return Entry::None;
    return info.isFile() && !info.isSymLink() ? Entry::File : Entry::Refused;
#endif
}

// Whether anything at all has this name, a dangling symbolic link included.
bool entryExists(const QString& path)
{
    return entryAt(path) != Entry::None;
}

} // namespace

QString monthFileName(int year, int month)
{
    return QString::number(year) + QStringLiteral("T305.") + QString::number(month);
}

MonthFile::MonthFile(QString companyDirectory, TraceSink trace)
    : m_directory(std::move(companyDirectory)), m_trace(std::move(trace))
{
}

MonthFile::~MonthFile()
{
    if (m_open)
        closeFile();
}

void MonthFile::refuseSameFileAs(int handle)
{
#ifdef Q_OS_UNIX
    FileStatus status{};
    m_refusesFile = handle >= 0 && ::fstat(handle, &status) == 0;
    m_refusedDevice = quint64(status.st_dev);
    m_refusedInode = quint64(status.st_ino);
#else
    Q_UNUSED(handle);
#endif
}

QString MonthFile::buildPath(quint16 year, quint8 month) const
{
    // Exactly one separator goes after the directory text, whatever it ends with.
    return m_directory + QDir::separator() + monthFileName(year, month);
}

bool MonthFile::pathIsAcceptable(const QString& path, quint8 month) const
{
    // The ledger program reads only months 1 to 12; its paths are 8-bit
    // Windows-1250 strings of at most 128 characters. A path that would have
    // to be shortened or altered is refused, never opened under another name.
    // An empty directory text would put the file into the file system's root.
    return month >= 1 && month <= 12 && !m_directory.isEmpty() && path.size() <= MaxPathLength &&
           fitsWindows1250(m_directory);
}

QString MonthFile::existingFileIgnoringCase(const QString& path) const
{
    // On a case-sensitive file system the ledger's file may exist with its
    // name in another letter case (written through a DOS emulator); it is used
    // instead of creating a second file beside it.
    // A symbolic link of that name counts too, so that it is refused rather
    // than passed by; a directory does not.
    const QString name =
        findEntryIgnoringCase(m_directory, QFileInfo(path).fileName(), EntryKinds::NoDirectories);
    return name.isEmpty() ? QString() : m_directory + QDir::separator() + name;
}

MonthFile::Location MonthFile::locate(quint16 year, quint8 month) const
{
    Location location;
    location.path = buildPath(year, month);
    location.usable = pathIsAcceptable(location.path, month);
    if (location.usable && !entryExists(location.path)) {
        const QString other = existingFileIgnoringCase(location.path);
        if (!other.isEmpty())
            location.path = other;
    }
    return location;
}

void MonthFile::report(const char* before)
{
    if (m_trace)
        m_trace(QString::fromUtf8(before) + m_path + QStringLiteral(" !"));
}

bool MonthFile::OpenMonthFile(quint16 year, quint8 month)
{
    const qint32 key = qint32(year) * 12 + month;
    // A month outside 1..12 shares its key with a month of a neighbouring year,
    // so it must never be taken for the file already open.
    const bool validMonth = month >= 1 && month <= 12;
    if (m_open && validMonth && key == m_periodKey)
        return true;
    if (!CloseMonthFile())
        return false;
    m_periodKey = key;
    m_path = buildPath(year, month);
    if (!pathIsAcceptable(m_path, month)) {
        report("Błąd otwarcia pliku ");
        return false;
    }
    if (!entryExists(m_path)) {
        const QString other = existingFileIgnoringCase(m_path);
        if (!other.isEmpty())
            m_path = other;
    }
    // What can never be a monthly file is refused before anyone (the run's
    // journal) reads it; opening checks once more, on the open handle.
    if (entryAt(m_path) == Entry::Refused) {
        report("Błąd otwarcia pliku ");
        return false;
    }
    if (m_observer && !m_observer->beforeOpen(m_path))
        return false;
    if (!openFile()) {
        report("Błąd otwarcia pliku ");
        return false;
    }
    m_open = true;
    m_appendFailed = false;
    return true;
}

bool MonthFile::openFile()
{
    // An existing file's contents are kept and a missing file is created. No
    // lock is taken; unbuffered, so every record reaches the system at once.
    const QIODevice::OpenMode mode = QIODevice::ReadWrite | QIODevice::Unbuffered;
#ifdef Q_OS_UNIX
    // Never through a symbolic link: an existing entry is opened only when it
    // is itself a regular file, and a new file is created only where no entry
    // of that name exists. Nothing that could block (a FIFO) is waited for.
    const QByteArray path = QFile::encodeName(m_path);
    const int flags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    m_created = false;
    int handle = ::open(path.constData(), flags);
    if (handle < 0 && errno == ENOENT) {
        handle = ::open(path.constData(), flags | O_CREAT | O_EXCL, 0666);
        m_created = handle >= 0;
    }
    if (handle < 0)
        return false;
    FileStatus status{};
    const int statusFlags = ::fcntl(handle, F_GETFL);
    const bool usable = ::fstat(handle, &status) == 0 && S_ISREG(status.st_mode) && statusFlags >= 0 &&
                        ::fcntl(handle, F_SETFL, statusFlags & ~O_NONBLOCK) == 0;
    // The export file of the run is read, never written.
    const bool refused = m_refusesFile && quint64(status.st_dev) == m_refusedDevice &&
                         quint64(status.st_ino) == m_refusedInode;
    if (!usable || refused) {
        ::close(handle);
        return false;
    }
    m_file.setFileName(m_path);
    m_encodedPath = path;
    return m_file.open(handle, mode, QFileDevice::AutoCloseHandle);
#else
    m_created = !QFileInfo::exists(m_path);
    m_file.setFileName(m_path);
    return m_file.open(mode);
#endif
}

// The open file's size, asked afresh (another program may have appended
// meanwhile), provided the path still names the open file: where an open file
// can be deleted or its directory removed, entries written to it afterwards
// would be lost while reported as written.
bool MonthFile::sizeWhileStillNamed(qint64& size) const
{
#ifdef Q_OS_UNIX
    FileStatus byHandle{};
    FileStatus byPath{};
    if (::fstat(m_file.handle(), &byHandle) != 0 || ::stat(m_encodedPath.constData(), &byPath) != 0 ||
        byPath.st_dev != byHandle.st_dev || byPath.st_ino != byHandle.st_ino)
        return false;
    size = byHandle.st_size;
    return true;
#else
    size = m_file.size();
    return size >= 0 && QFileInfo::exists(m_path);
#endif
}

// The whole record at its place, or a failure.
bool MonthFile::writeAt(qint64 position, const QByteArray& bytes)
{
#ifdef Q_OS_UNIX
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::pwrite(m_file.handle(), bytes.constData() + done,
                                         size_t(bytes.size() - done), off_t(position + done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
#else
    return m_file.seek(position) && m_file.write(bytes) == bytes.size() && m_file.flush();
#endif
}

bool MonthFile::AppendEntry(LedgerEntry& entry)
{
    if (!m_open) {
        report("Błąd dopisania do pliku ");
        return false;
    }
    qint64 size = 0;
    if (!sizeWhileStillNamed(size) || size / LedgerEntrySize >= std::numeric_limits<qint32>::max()) {
        report("Błąd dopisania do pliku ");
        return false;
    }
    // A partial record at the end is overwritten, nothing before it.
    const qint64 records = size / LedgerEntrySize;
    entry.setInt32(field::EntryNo, static_cast<qint32>(records + 1));
    const qint64 position = records * LedgerEntrySize;
    // A partial record at the end is kept, to be put back if the append fails.
    QByteArray tail;
    if (size > position) {
        if (!m_file.seek(position) || (tail = m_file.read(size - position)).size() != size - position) {
            report("Błąd dopisania do pliku ");
            return false;
        }
    }
    if (!writeAt(position, entry.bytes())) {
        // A half-written entry (disk full, file-size limit) is taken back:
        // the file is again byte for byte what it was.
        if (m_file.size() > size)
            m_file.resize(size);
        if (!tail.isEmpty() && m_file.seek(position))
            m_file.write(tail);
        m_appendFailed = true;
        report("Błąd dopisania do pliku ");
        return false;
    }
    if (m_observer)
        m_observer->appended(m_path, position, entry.bytes());
    return true;
}

bool MonthFile::CloseMonthFile()
{
    if (!m_open)
        return true;
    if (!closeFile()) {
        report("Błąd zamknięcia pliku ");
        return false;
    }
    return true;
}

bool MonthFile::closeFile()
{
    m_file.unsetError();
    const bool flushed = m_file.flush();
    // A file that this run created and that an append left empty is removed
    // again: the ledger program would otherwise find an empty month.
    qint64 size = -1;
    const bool removeEmpty = m_created && m_appendFailed && sizeWhileStillNamed(size) && size == 0;
    m_file.close();
    m_open = false;
    const bool closed = flushed && m_file.error() == QFileDevice::NoError;
    if (removeEmpty)
        QFile::remove(m_path);
    return closed;
}

} // namespace przenosnik
