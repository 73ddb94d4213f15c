#include "ledger/MonthFile.h"

#include "encoding/Windows1250.h"
#include "platform/DosPath.h"
#include "platform/NativeFile.h"

#include <QDir>
#include <QFileInfo>

#include <limits>
#include <utility>

namespace przenosnik {

namespace {

// What stands under this name, without following a symbolic link: a link
// (dangling ones too), a directory, a FIFO, a device is never a monthly file.
platform::EntryKind entryAt(const QString& path)
{
    return platform::entryAt(path, platform::Links::Refuse);
}

// Whether anything at all has this name, a dangling symbolic link included.
bool entryExists(const QString& path)
{
    return entryAt(path) != platform::EntryKind::None;
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
    m_refusedFile = handle >= 0 ? platform::identityOf(handle) : platform::FileIdentity{};
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
    if (entryAt(m_path) == platform::EntryKind::Other) {
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
    // Never through a symbolic link: an existing entry is opened only when it
    // is itself a regular file, and a new file is created only where no entry
    // of that name exists. Nothing that could block (a FIFO) is waited for.
    const platform::OpenedFile opened = platform::openRegularFile(
        m_path, platform::Access::ReadWrite, platform::Links::Refuse, platform::Creation::CreateIfMissing);
    m_created = opened.created;
    if (opened.handle < 0)
        return false;
    // The export file of the run is read, never written.
    if (m_refusedFile.valid && platform::identityOf(opened.handle) == m_refusedFile) {
        platform::closeHandle(opened.handle);
        return false;
    }
    m_file.setFileName(m_path);
    return m_file.open(opened.handle, mode, QFileDevice::AutoCloseHandle);
}

// The open file's size, asked afresh (another program may have appended
// meanwhile), provided the path still names the open file: where an open file
// can be deleted or its directory removed, entries written to it afterwards
// would be lost while reported as written.
bool MonthFile::sizeWhileStillNamed(qint64& size) const
{
    const platform::FileIdentity open = platform::identityOf(m_file.handle());
    if (!open.valid || platform::identityOfPath(m_path) != open)
        return false;
    size = platform::fileSize(m_file.handle());
    return size >= 0;
}

// The whole record at its place, or a failure.
bool MonthFile::writeAt(qint64 position, const QByteArray& bytes)
{
    return platform::writeAt(m_file.handle(), position, bytes);
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
