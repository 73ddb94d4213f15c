#include "ledger/UndoRun.h"

#include "ledger/DirectoryLock.h"

#include "ledger/JournalRecord.h"
#include "ledger/LedgerEntry.h"
#include "ledger/RunBackup.h"
#include "platform/FileDigest.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>
#include <vector>

namespace przenosnik {

namespace {

QString bytes(qint64 n)
{
    return QStringLiteral("%1 B").arg(n);
}

// Checks one file of the run; answers why it cannot be cut back, or nothing.
QString checkFile(const JournalFile& record, UndoFile& undo)
{
    undo.cutTo = record.start();
    undo.tail = record.tail;
    undo.remove = !record.existed && record.tail.isEmpty();
    if (!QFileInfo::exists(undo.path)) {
        undo.remove = false;
        undo.unchanged = !record.existed && (!record.ended || record.endLength == 0);
        return undo.unchanged ? QString() : QStringLiteral("nie istnieje");
    }
    QFile file(undo.path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("nie daje się odczytać");
    undo.length = file.size();
    if (undo.length < undo.cutTo)
        return QStringLiteral("jest krótszy (%1) niż przed konwersją (%2)")
            .arg(bytes(undo.length), bytes(record.length));
    // The bytes before the run's first entry, with the tail it overwrote.
    if (Sha256Hex(file, 0, undo.cutTo, record.tail) != record.sha256)
        return QStringLiteral("ma zmienione wpisy sprzed konwersji");
    undo.unchanged = undo.length == record.length &&
                     (record.tail.isEmpty() || file.read(record.tail.size()) == record.tail);
    if (undo.unchanged) {
        undo.remove = undo.remove && undo.length == 0;
        return {};
    }
    if (record.ended) {
        if (undo.length != record.endLength)
            return QStringLiteral(
                       "ma długość %1 zamiast %2, którą zostawiła konwersja - zmienił go program KPR "
                       "albo późniejsza konwersja")
                .arg(bytes(undo.length), bytes(record.endLength));
        if (Sha256Hex(file, undo.cutTo, undo.length) != record.endSha256)
            return QStringLiteral("ma zmienione wpisy dopisane przez konwersję");
    }
    undo.entries = int((undo.length - undo.cutTo + LedgerEntrySize - 1) / LedgerEntrySize);
    return {};
}

} // namespace

int UndoPlan::entries() const
{
    int total = 0;
    for (const UndoFile& file : files)
        total += file.entries;
    return total;
}

UndoPlan planUndo(const QString& companyDirectory, const JournalContents& journal)
{
    UndoPlan plan;
    for (auto run = journal.runs.crbegin(); run != journal.runs.crend(); ++run) {
        if (!run->undone && !run->files.isEmpty()) {
            plan.found = true;
            plan.run = *run;
            break;
        }
    }
    if (!plan.found)
        return plan;
    plan.backupFolder = backupFolder(companyDirectory, plan.run.id);
    for (const JournalFile& record : std::as_const(plan.run.files)) {
        UndoFile undo;
        undo.name = record.name;
        undo.path = companyDirectory + QDir::separator() + record.name;
        const QString reason = checkFile(record, undo);
        plan.files.append(undo);
        if (!reason.isEmpty() && plan.refusal.isEmpty()) {
            plan.refusedFile = record.name;
            plan.refusal = reason;
        }
    }
    return plan;
}

UndoResult applyUndo(const QString& companyDirectory, const UndoPlan& confirmed)
{
    UndoResult result;
    const DirectoryLock lock(companyDirectory);
    if (lock.busy()) {
        result.failure = directoryBusyText(companyDirectory);
        return result;
    }
    const UndoPlan plan = planUndo(companyDirectory, readJournal(companyDirectory));
    bool same =
        plan.canUndo() && plan.run.id == confirmed.run.id && plan.files.size() == confirmed.files.size();
    for (qsizetype i = 0; same && i < plan.files.size(); ++i)
        same = plan.files.at(i).length == confirmed.files.at(i).length;
    if (!same) {
        result.failure = plan.found && !plan.refusal.isEmpty()
                             ? QStringLiteral("plik %1 %2").arg(plan.refusedFile, plan.refusal)
                             : QStringLiteral("pliki zmieniły się od chwili sprawdzenia");
        return result;
    }
    // Every file is opened before any is changed.
    std::vector<std::unique_ptr<QFile>> files;
    for (const UndoFile& undo : plan.files) {
        files.push_back(std::make_unique<QFile>(undo.path));
        if (!undo.unchanged && !files.back()->open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
            result.failure = QStringLiteral("plik %1 nie daje się otworzyć do zapisu").arg(undo.name);
            return result;
        }
    }
    bool removed = false;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const UndoFile& undo = plan.files.at(qsizetype(i));
        QFile& file = *files.at(i);
        if (!undo.unchanged) {
            const bool cut = file.resize(undo.cutTo) &&
                             (undo.tail.isEmpty() ||
                              (file.seek(undo.cutTo) && file.write(undo.tail) == undo.tail.size())) &&
                             syncToDisk(file);
            if (!cut) {
                result.failure =
                    QStringLiteral("błąd zapisu pliku %1 - pliki cofnięto tylko częściowo").arg(undo.name);
                return result;
            }
        }
        file.close();
        if (undo.remove && QFileInfo::exists(undo.path) && QFileInfo(undo.path).size() == 0)
            removed = QFile::remove(undo.path) || removed;
    }
    if (removed)
        syncDirectory(companyDirectory);
    result.done = true;
    if (!appendJournalRecord(journalPath(companyDirectory),
                             {journal::Undo, plan.run.id, runIdForTime(QDateTime::currentDateTime()),
                              QString::number(plan.entries())}))
        result.failure = QStringLiteral("Błąd zapisu dziennika %1 !").arg(journalPath(companyDirectory));
    return result;
}

} // namespace przenosnik
