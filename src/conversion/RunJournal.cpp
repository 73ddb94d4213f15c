#include "conversion/RunJournal.h"

#include "conversion/ExportDigest.h"
#include "ledger/CrashPoint.h"
#include "ledger/JournalHistory.h"
#include "ledger/JournalRecord.h"
#include "ledger/LedgerEntry.h"
#include "ledger/RunBackup.h"
#include "platform/FileDigest.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace przenosnik {

namespace {
QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

RunJournal::RunJournal(const ConversionSettings& settings, TraceSink trace)
    : m_settings(settings), m_trace(std::move(trace)), m_journal(journalPath(settings.companyDirectory))
{
}

QString RunJournal::newRunId() const
{
    // Ids grow down the journal: only its last run need be read.
    const JournalContents journal = readJournal(m_settings.companyDirectory, JournalScope::LastRun);
    const QDateTime now = QDateTime::currentDateTime();
    QString id = runIdAfter(journal.runs.isEmpty() ? QString() : journal.runs.last().id, now);
    while (QFileInfo::exists(backupFolder(m_settings.companyDirectory, id)))
        id = runIdAfter(id, now);
    return id;
}

QStringList RunJournal::options() const
{
    const ConversionSettings& s = m_settings;
    return {
        QStringLiteral("codepage=") +
            (s.ledgerEncoding == PolishEncoding::Mazovia ? QStringLiteral("maz") : QStringLiteral("852")),
        QStringLiteral("sym2006=") + flag(s.sym2006),
        QStringLiteral("szablon31=") + flag(s.szablon31),
        QStringLiteral("postal-code=") + flag(s.postalCode),
        QStringLiteral("attribute=") + s.attribute,
        QStringLiteral("register=") + s.registerId,
        QStringLiteral("description=") + s.defaultDescription,
        QStringLiteral("always-description=") + flag(s.alwaysDescription),
        QStringLiteral("skip-duplicates=") + flag(s.skipDuplicates),
        QStringLiteral("skip-documents=") + s.excludedDocuments.text(),
        QStringLiteral("nip=") + s.companyNip,
    };
}

void RunJournal::start()
{
    m_started = true;
    m_runId = newRunId();
    const ExportDigest digest = digestOfExport(m_settings.exportFile);
    m_failed =
        digest.sha256.isEmpty() ||
        !appendJournalRecord(
            m_journal, QStringList{journal::Run, m_runId, QFileInfo(m_settings.exportFile).absoluteFilePath(),
                                   QString::number(digest.size), QString::fromLatin1(digest.sha256)} +
                           options());
}

bool RunJournal::refuse(const QString& path)
{
    if (m_trace)
        m_trace(QStringLiteral("Błąd zapisu dziennika %1 !").arg(path));
    return false;
}

bool RunJournal::beforeOpen(const QString& path)
{
    // Where the company directory is gone, the open fails and reports it;
    // nothing to write down. (Links and directories never reach this point.)
    if (!QFileInfo(m_settings.companyDirectory).isDir())
        return true;
    if (!m_started || m_failed)
        return refuse(m_journal);
    for (const Touched& touched : std::as_const(m_touched)) {
        if (touched.path == path)
            return true;
    }
    const QString folder = backupFolder(m_settings.companyDirectory, m_runId);
    const FileBefore before = backUpFile(path, folder);
    if (!before.ok)
        return refuse(folder);
    crashPoint();
    if (m_touched.empty())
        removeOldBackups(m_settings.companyDirectory);
    const QString name = QFileInfo(path).fileName();
    if (!appendJournalRecord(m_journal, {journal::File, m_runId, name, flag(before.existed),
                                         QString::number(before.length), QString::fromLatin1(before.sha256),
                                         QString::fromLatin1(before.tail.toHex())})) {
        m_failed = true;
        return refuse(m_journal);
    }
    Touched touched;
    touched.path = path;
    touched.name = name;
    touched.start = before.length - before.tail.size();
    m_touched.push_back(std::move(touched));
    return true;
}

void RunJournal::appended(const QString& path, qint64 position, QByteArrayView record)
{
    for (Touched& touched : m_touched) {
        if (touched.path != path)
            continue;
        ++touched.records;
        crashPoint();
        if (touched.inOrder && position == touched.start + touched.addedLength) {
            touched.added->addData(record);
            touched.addedLength += record.size();
        } else {
            touched.inOrder = false;
        }
        return;
    }
}

void RunJournal::finish(RunOutcome outcome)
{
    if (!m_started || m_failed)
        return;
    qint64 total = 0;
    for (Touched& touched : m_touched) {
        QFile file(touched.path);
        qint64 length = 0;
        QByteArray digest = Sha256Hex(QByteArray());
        if (file.open(QIODevice::ReadOnly)) {
            length = file.size();
            syncToDisk(file);
            // What the run wrote, hashed as it wrote it, when nothing else came after the start;
            // otherwise the file is read back.
            if (touched.inOrder && length == touched.start + touched.addedLength)
                digest = touched.added->result().toHex();
            else if (length > touched.start)
                digest = Sha256Hex(file, touched.start, length);
            if (digest.isEmpty()) // unreadable: an undo will find that it does not match
                digest = Sha256Hex(QByteArray());
        }
        // The run's own entries: with another program's between or after
        // them, fewer than the bytes after the start hold.
        const qint64 entries = touched.records;
        total += entries;
        // A journal left without its end records shows the run as not ended;
        // the trace stays as it is.
        if (!appendJournalRecord(m_journal, {journal::FileEnd, m_runId, touched.name, QString::number(length),
                                             QString::fromLatin1(digest), QString::number(entries)}))
            return;
    }
    const bool completed = outcome == RunOutcome::Completed;
    appendJournalRecord(m_journal, {journal::End, m_runId, completed ? journal::Completed : journal::Stopped,
                                    QString::number(total)});
}

} // namespace przenosnik
