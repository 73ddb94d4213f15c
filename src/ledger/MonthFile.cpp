#include "ledger/MonthFile.h"

#include "encoding/Windows1250.h"
#include "platform/DosPath.h"
#include "platform/NativeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

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

bool isMonthFileName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+T305\\.[0-9]+$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(name).hasMatch();
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
    // A file the run appended to before is read back at the first append.
    m_records = &m_written[m_path];
    m_knownSize = -1;
    m_appendWithoutAsking = false;
    m_quietQuestions = 0;
    m_unconfirmed.expectAt(0);
    m_handle = m_file.handle();
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
    // Whatever is written without a position goes to the file's end.
    if (!platform::setAppending(opened.handle, true)) {
        platform::closeHandle(opened.handle);
        return false;
    }
    m_file.setFileName(m_path);
    return m_file.open(opened.handle, mode, QFileDevice::AutoCloseHandle);
}

bool MonthFile::holds(quint16 year, quint8 month) const
{
    return m_open && month >= 1 && month <= 12 && qint32(year) * 12 + month == m_periodKey;
}

QList<MonthFile::MovedEntry> MonthFile::takeMovedEntries()
{
    return std::exchange(m_moved, {});
}

bool MonthFile::CloseMonthFile()
{
    if (!m_open)
        return true;
    // Its entries are confirmed first; a failure to do so is reported by itself.
    ConfirmAppends();
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
    if (m_unflushed > 0)
        platform::startFlushToDisk(m_handle);
    m_unflushed = 0;
    // A file that this run created and that an append left empty is removed
    // again: the ledger program would otherwise find an empty month.
    const platform::OpenFileState state = platform::stateOf(m_handle);
    const bool removeEmpty = m_created && m_appendFailed && state.named && state.size == 0;
    m_file.close();
    m_open = false;
    const bool closed = flushed && m_file.error() == QFileDevice::NoError;
    if (removeEmpty)
        QFile::remove(m_path);
    return closed;
}

bool MonthFile::CheckWrittenEntries()
{
    bool intact = ConfirmAppends();
    for (auto& [path, records] : m_written) {
        if (records.isEmpty())
            continue;
        const bool open = m_open && path == m_path;
        QFile other(path);
        if (!open && !other.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            // Gone: so are its entries.
            m_lost += records.takeLost(-1, 0);
        } else {
            const int file = open ? m_handle : other.handle();
            const platform::OpenFileState state = platform::stateOf(file);
            const qint64 size = state.named ? state.size : 0;
            if (size >= records.end() && records.lastIntact(file))
                continue;
            m_lost += records.takeLost(file, size);
        }
        intact = false;
        if (m_trace)
            m_trace(QStringLiteral("Błąd dopisania do pliku ") + path + QStringLiteral(" !"));
    }
    return intact;
}

QList<int> MonthFile::takeLostEntries()
{
    return std::exchange(m_lost, {});
}

} // namespace przenosnik
