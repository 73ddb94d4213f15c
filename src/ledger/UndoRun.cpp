#include "ledger/UndoRun.h"

#include "ledger/CrashPoint.h"
#include "ledger/DirectoryLock.h"
#include "ledger/JournalRecord.h"
#include "ledger/LedgerEntry.h"
#include "ledger/MonthFile.h"
#include "ledger/RunBackup.h"
#include "ledger/UndoProof.h"
#include "platform/FileDigest.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace przenosnik {

namespace {

const JournalFile* findFile(const JournalRun& run, const QString& name)
{
    for (const JournalFile& file : run.files) {
        if (file.name == name)
            return &file;
    }
    return nullptr;
}

// Why the journal's records of the run cannot be trusted to undo it, or nothing.
QString journalFault(const QString& companyDirectory, const JournalContents& journal, const JournalRun& run)
{
    if (!journal.readable)
        return QStringLiteral("nie daje się odczytać");
    if (run.uncheckedOffset >= 0)
        return QStringLiteral("ma w wierszu %1 zapis bez sumy kontrolnej (poprzedniej wersji programu): "
                              "tej konwersji nie da się bezpiecznie cofnąć")
            .arg(journalLineNumber(companyDirectory, run.uncheckedOffset));
    for (const qint64 offset : journal.badOffsets) {
        if (offset > run.offset)
            return QStringLiteral("ma uszkodzony albo niepełny wiersz %1")
                .arg(journalLineNumber(companyDirectory, offset));
    }
    qint64 entries = 0;
    for (const JournalFile& file : run.files) {
        if (!isMonthFileName(file.name))
            return QStringLiteral("podaje \"%1\", co nie jest nazwą pliku miesiąca w katalogu firmy")
                .arg(file.name);
        if (run.ended && !file.ended)
            return QStringLiteral("jest niepełny: brak zakończenia pliku %1").arg(file.name);
        entries += file.entries;
    }
    if (run.ended && entries != run.entries)
        return QStringLiteral("jest niepełny: pliki konwersji podają %1 wpisów, jej zakończenie %2")
            .arg(entries)
            .arg(run.entries);
    return {};
}

const JournalRun* undoTarget(const JournalContents& journal)
{
    for (auto run = journal.runs.crbegin(); run != journal.runs.crend(); ++run) {
        if (!run->undone && !run->files.isEmpty())
            return &*run;
    }
    return nullptr;
}

void refuse(UndoPlan& plan, const QString& file, const QString& reason)
{
    if (plan.refusal.isEmpty() && !reason.isEmpty()) {
        plan.refusedFile = file;
        plan.refusal = reason;
    }
}

// The files of the plan checked; where `confirmed` is given, a file whose
// records needed a rebuilt run to be proved is taken as proved when it is
// still byte for byte as it was when the confirmed plan proved it.
void planFiles(const QString& companyDirectory, UndoPlan& plan, const RunReplay& replay,
               const UndoPlan* confirmed)
{
    if (plan.finishing) {
        for (const JournalUndoFile& begun : std::as_const(plan.run.undoFiles)) {
            UndoFile undo;
            undo.name = begun.name;
            undo.path = companyDirectory + QDir::separator() + begun.name;
            refuse(plan, begun.name, checkUndoneFile(*findFile(plan.run, begun.name), begun, undo));
            plan.files.append(undo);
        }
        return;
    }
    QHash<QString, QByteArray> before;
    QList<qsizetype> unproved;
    for (const JournalFile& record : std::as_const(plan.run.files)) {
        UndoFile undo;
        undo.name = record.name;
        undo.path = companyDirectory + QDir::separator() + record.name;
        bool needsProof = false;
        QByteArray bytes;
        refuse(plan, record.name, checkRunFile(record, undo, needsProof, confirmed ? nullptr : &bytes));
        if (needsProof) {
            unproved.append(plan.files.size());
            if (record.existed)
                before.insert(record.name, bytes);
        }
        plan.files.append(undo);
    }
    if (!plan.refusal.isEmpty() || unproved.isEmpty())
        return;
    if (confirmed) {
        for (const qsizetype i : unproved) {
            const UndoFile& undo = plan.files.at(i);
            const bool same = i < confirmed->files.size() && confirmed->files.at(i).length == undo.length &&
                              confirmed->files.at(i).sha256 == undo.sha256;
            refuse(plan, undo.name, same ? QString() : QStringLiteral("zmienił się od chwili sprawdzenia"));
        }
        return;
    }
    const ReplayedRun replayed = replay ? replay(plan.run, before) : ReplayedRun{QStringLiteral("brak"), {}};
    for (const qsizetype i : unproved) {
        const UndoFile& undo = plan.files.at(i);
        if (!replayed.failure.isEmpty())
            refuse(plan, undo.name,
                   QStringLiteral("ma od pozycji %1 wpisy, o których nie da się sprawdzić, czy zapisała je "
                                  "ta konwersja: %2")
                       .arg(undo.cutTo / LedgerEntrySize + 1)
                       .arg(replayed.failure));
        else
            refuse(plan, undo.name, proveRecords(undo, replayed.written.value(undo.name)));
    }
}

UndoPlan planFor(const QString& companyDirectory, const JournalContents& journal, const RunReplay& replay,
                 const UndoPlan* confirmed)
{
    UndoPlan plan;
    const JournalRun* run = undoTarget(journal);
    if (!run)
        return plan;
    plan.found = true;
    plan.run = *run;
    plan.finishing = run->undoBegun;
    plan.backupFolder = backupFolder(companyDirectory, plan.run.id);
    refuse(plan, JournalFileName, journalFault(companyDirectory, journal, plan.run));
    if (plan.refusal.isEmpty())
        planFiles(companyDirectory, plan, replay, confirmed);
    return plan;
}

// Cuts one file back (or finishes cutting it), then removes it when the run created it.
bool undoFile(const UndoFile& undo, UndoResult& result)
{
    if (!undo.unchanged) {
        QFile file(undo.path);
        if (!openPlainFile(file, QIODevice::ReadWrite | QIODevice::Unbuffered)) {
            result.failure = QStringLiteral("plik %1 nie daje się otworzyć do zapisu").arg(undo.name);
            return false;
        }
        if (!undo.cut && file.size() != undo.length) {
            result.failure = QStringLiteral("plik %1 zmienił się od chwili sprawdzenia").arg(undo.name);
            return false;
        }
        bool cut = file.resize(undo.cutTo);
        crashPoint();
        cut = cut &&
              (undo.tail.isEmpty() || (file.seek(undo.cutTo) && file.write(undo.tail) == undo.tail.size())) &&
              syncToDisk(file);
        crashPoint();
        if (!cut) {
            result.failure = QStringLiteral("błąd zapisu pliku %1").arg(undo.name);
            return false;
        }
    }
    if (undo.remove) {
        if (QFile::remove(undo.path))
            result.removed.append(undo.name);
        else
            result.left.append(undo.name);
        crashPoint();
    }
    return true;
}

} // namespace

int UndoPlan::entries() const
{
    int total = 0;
    for (const UndoFile& file : files)
        total += file.unchanged ? 0 : file.entries;
    return total;
}

UndoPlan planUndo(const QString& companyDirectory, const JournalContents& journal, const RunReplay& replay)
{
    return planFor(companyDirectory, journal, replay, nullptr);
}

UndoResult applyUndo(const QString& companyDirectory, const UndoPlan& confirmed)
{
    UndoResult result;
    if (!confirmed.canUndo()) {
        result.failure = confirmed.found
                             ? QStringLiteral("plik %1 %2").arg(confirmed.refusedFile, confirmed.refusal)
                             : QStringLiteral("nie ma konwersji do cofnięcia");
        return result;
    }
    const DirectoryLock lock(companyDirectory);
    if (lock.busy()) {
        result.failure = directoryBusyText(companyDirectory);
        return result;
    }
    const JournalContents journal = readJournal(companyDirectory, JournalScope::UndoTarget);
    const UndoPlan plan = planFor(companyDirectory, journal, {}, &confirmed);
    if (!plan.canUndo() || plan.run.id != confirmed.run.id || plan.finishing != confirmed.finishing ||
        plan.files.size() != confirmed.files.size()) {
        result.failure = plan.found && !plan.refusal.isEmpty()
                             ? QStringLiteral("plik %1 %2").arg(plan.refusedFile, plan.refusal)
                             : QStringLiteral("pliki zmieniły się od chwili sprawdzenia");
        return result;
    }
    // A file that cannot be written stops the undo before anything changed.
    for (const UndoFile& undo : plan.files) {
        QFile file(undo.path);
        if (!undo.unchanged && !openPlainFile(file, QIODevice::ReadWrite)) {
            result.failure = QStringLiteral("plik %1 nie daje się otworzyć do zapisu").arg(undo.name);
            return result;
        }
    }
    const QString path = journalPath(companyDirectory);
    const QString undoId =
        plan.finishing ? plan.run.undoId : runIdAfter(plan.run.undoId, QDateTime::currentDateTime());
    if (!plan.finishing) {
        // What is about to change, on the disk before anything does.
        int count = 0;
        for (const UndoFile& undo : plan.files) {
            if (undo.unchanged && !undo.remove)
                continue;
            ++count;
            if (!appendJournalRecord(path, {journal::UndoFile, plan.run.id, undoId, undo.name,
                                            QString::number(undo.length), QString::fromLatin1(undo.sha256),
                                            undo.remove ? QStringLiteral("1") : QStringLiteral("0")})) {
                result.failure = QStringLiteral("Błąd zapisu dziennika %1 !").arg(path);
                return result;
            }
        }
        if (!appendJournalRecord(path, {journal::UndoBegin, plan.run.id, undoId, QString::number(count)})) {
            result.failure = QStringLiteral("Błąd zapisu dziennika %1 !").arg(path);
            return result;
        }
    }
    bool ok = true;
    for (const UndoFile& undo : plan.files)
        ok = ok && undoFile(undo, result);
    if (!result.removed.isEmpty() || !result.left.isEmpty())
        syncDirectory(companyDirectory);
    if (!ok)
        return result;
    if (!result.left.isEmpty()) {
        result.failure =
            QStringLiteral("nie da się usunąć pliku %1 (powstał w tej konwersji; pozostał pusty) - "
                           "cofanie zostanie dokończone przy następnym cofnięciu")
                .arg(result.left.join(QStringLiteral(", ")));
        return result;
    }
    if (!appendJournalRecord(path,
                             {journal::Undo, plan.run.id, undoId, QString::number(confirmed.entries())})) {
        result.failure = QStringLiteral("Błąd zapisu dziennika %1 !").arg(path);
        return result;
    }
    result.done = true;
    return result;
}

} // namespace przenosnik
