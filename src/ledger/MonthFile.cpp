#include "ledger/MonthFile.h"

#include "encoding/Windows1250.h"

#include <QDir>
#include <QFileInfo>

#include <limits>
#include <utility>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace przenosnik {

namespace {

// Whether the path still names the file that is open. Where an open file can
// be deleted (or its directory removed), entries written to it afterwards
// would be lost while reported as written.
bool pathNamesOpenFile(const QString& path, int handle)
{
#ifdef Q_OS_UNIX
    using FileStatus = struct stat;
    FileStatus byPath{};
    FileStatus byHandle{};
    return ::stat(QFile::encodeName(path).constData(), &byPath) == 0 && ::fstat(handle, &byHandle) == 0 &&
           byPath.st_dev == byHandle.st_dev && byPath.st_ino == byHandle.st_ino;
#else
    Q_UNUSED(handle);
    return QFileInfo::exists(path);
#endif
}

} // namespace

QString MonthFileName(int year, int month)
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
        m_file.close();
}

QString MonthFile::buildPath(quint16 year, quint8 month) const
{
    // Exactly one separator goes after the directory text, whatever it ends with.
    return m_directory + QDir::separator() + MonthFileName(year, month);
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
    const QString wanted = QFileInfo(path).fileName();
    const QDir directory(m_directory);
    const QStringList names =
        directory.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return m_directory + QDir::separator() + name;
    }
    return {};
}

MonthFile::Location MonthFile::locate(quint16 year, quint8 month) const
{
    Location location;
    location.path = buildPath(year, month);
    location.usable = pathIsAcceptable(location.path, month);
    if (location.usable && !QFileInfo::exists(location.path)) {
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
    if (!QFileInfo::exists(m_path)) {
        const QString other = existingFileIgnoringCase(m_path);
        if (!other.isEmpty())
            m_path = other;
    }
    // ReadWrite keeps an existing file's contents and creates a missing file.
    // No lock is taken; unbuffered, so every record reaches the system at once.
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        report("Błąd otwarcia pliku ");
        return false;
    }
    m_open = true;
    return true;
}

bool MonthFile::AppendEntry(LedgerEntry& entry)
{
    if (!m_open) {
        report("Błąd dopisania do pliku ");
        return false;
    }
    // The size is asked afresh every time: another program may have appended
    // meanwhile. A partial record at the end is overwritten, nothing before it.
    const qint64 size = m_file.size();
    const qint64 records = size / LedgerEntrySize;
    if (size < 0 || records >= std::numeric_limits<qint32>::max()) {
        report("Błąd dopisania do pliku ");
        return false;
    }
    entry.setInt32(field::EntryNo, static_cast<qint32>(records + 1));
    const qint64 position = records * LedgerEntrySize;
    if (!pathNamesOpenFile(m_path, m_file.handle())) {
        report("Błąd dopisania do pliku ");
        return false;
    }
    if (!m_file.seek(position) || m_file.write(entry.bytes()) != LedgerEntrySize || !m_file.flush()) {
        // A half-written entry (disk full, file-size limit) is taken back: the
        // file keeps the length it had.
        if (m_file.size() > size)
            m_file.resize(size);
        report("Błąd dopisania do pliku ");
        return false;
    }
    return true;
}

bool MonthFile::CloseMonthFile()
{
    if (!m_open)
        return true;
    m_file.unsetError();
    const bool flushed = m_file.flush();
    m_file.close();
    m_open = false;
    if (!flushed || m_file.error() != QFileDevice::NoError) {
        report("Błąd zamknięcia pliku ");
        return false;
    }
    return true;
}

} // namespace przenosnik
