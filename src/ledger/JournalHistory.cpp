#include "ledger/JournalHistory.h"

#include "ledger/JournalRecord.h"
#include "ledger/LedgerEntry.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace przenosnik {

namespace {

std::optional<qint64> number(const QString& text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < 0 || text.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return value;
}

bool isDigest(const QString& text)
{
    if (text.size() != 64)
        return false;
    for (const QChar c : text) {
        if (!c.isDigit() && (c < QLatin1Char('a') || c > QLatin1Char('f')))
            return false;
    }
    return true;
}

JournalRun* findRun(QList<JournalRun>& runs, const QString& id)
{
    for (JournalRun& run : runs) {
        if (run.id == id)
            return &run;
    }
    return nullptr;
}

JournalFile* findFile(JournalRun& run, const QString& name)
{
    for (JournalFile& file : run.files) {
        if (file.name == name)
            return &file;
    }
    return nullptr;
}

// Takes one record into the runs; answers false when it cannot be read.
bool takeRecord(const QStringList& f, QList<JournalRun>& runs)
{
    if (f.size() < 2 || !isRunId(f.at(1)))
        return false;
    const QString& kind = f.at(0);
    if (kind == journal::Run) {
        const auto size = f.size() >= 5 ? number(f.at(3)) : std::nullopt;
        if (!size || !isDigest(f.at(4)) || findRun(runs, f.at(1)))
            return false;
        JournalRun run;
        run.id = f.at(1);
        run.exportFile = f.at(2);
        run.exportSize = *size;
        run.exportSha256 = f.at(4).toLatin1();
        run.options = f.mid(5);
        runs.append(run);
        return true;
    }
    JournalRun* run = findRun(runs, f.at(1));
    if (!run || run->undone)
        return false;
    if (kind == journal::File && f.size() == 7) {
        const auto length = number(f.at(4));
        const QByteArray tail = QByteArray::fromHex(f.at(6).toLatin1());
        if (run->ended || findFile(*run, f.at(2)) ||
            (f.at(3) != QLatin1String("0") && f.at(3) != QLatin1String("1")) || !length ||
            !isDigest(f.at(5)) || tail.toHex() != f.at(6).toLatin1() ||
            tail.size() != *length % LedgerEntrySize)
            return false;
        JournalFile file;
        file.name = f.at(2);
        file.existed = f.at(3) == QLatin1String("1");
        file.length = *length;
        file.sha256 = f.at(5).toLatin1();
        file.tail = tail;
        run->files.append(file);
        return true;
    }
    if (kind == journal::FileEnd && f.size() == 6) {
        JournalFile* file = findFile(*run, f.at(2));
        const auto length = number(f.at(3));
        const auto entries = number(f.at(5));
        if (!file || file->ended || run->ended || !length || !isDigest(f.at(4)) || !entries)
            return false;
        file->ended = true;
        file->endLength = *length;
        file->endSha256 = f.at(4).toLatin1();
        file->entries = int(*entries);
        return true;
    }
    if (kind == journal::End && f.size() == 4) {
        const auto entries = number(f.at(3));
        if (run->ended || !entries || (f.at(2) != journal::Completed && f.at(2) != journal::Stopped))
            return false;
        run->ended = true;
        run->endOutcome = f.at(2);
        run->entries = int(*entries);
        return true;
    }
    if (kind == journal::Undo && f.size() == 4 && isRunId(f.at(2)) && number(f.at(3))) {
        run->undone = true;
        return true;
    }
    return false;
}

} // namespace

QString JournalRun::outcome() const
{
    if (undone)
        return QStringLiteral("cofnięta");
    return ended ? endOutcome : QStringLiteral("przerwana");
}

JournalContents readJournal(const QString& companyDirectory)
{
    JournalContents contents;
    const QString path = journalPath(companyDirectory);
    if (!QFileInfo::exists(path))
        return contents;
    contents.exists = true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.problems.append(QStringLiteral("Nie można odczytać dziennika %1").arg(path));
        return contents;
    }
    for (int lineNumber = 1; !file.atEnd(); ++lineNumber) {
        const QByteArray line = file.readLine();
        if (line.trimmed().isEmpty())
            continue;
        if (!takeRecord(parseJournalLine(line), contents.runs))
            contents.problems.append(
                QStringLiteral("Nieczytelny wiersz %1 dziennika %2 - pominięty").arg(lineNumber).arg(path));
    }
    return contents;
}

const JournalRun* interruptedLastRun(const JournalContents& journal)
{
    if (journal.runs.isEmpty())
        return nullptr;
    const JournalRun& last = journal.runs.last();
    return last.ended || last.undone ? nullptr : &last;
}

} // namespace przenosnik
