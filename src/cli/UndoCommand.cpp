#include "cli/UndoCommand.h"

#include "cli/CommandLine.h"
#include "cli/ConsoleHost.h"
#include "ledger/JournalHistory.h"
#include "ledger/UndoRun.h"
#include "ledger/UndoText.h"

#include <QFileInfo>

namespace przenosnik {

namespace {

// The journal with its unreadable lines reported; false when there is no directory.
bool readJournal(const QString& companyDirectory, std::FILE* err, JournalContents& journal)
{
    if (!QFileInfo(companyDirectory).isDir()) {
        WriteLines(err, QStringLiteral("Nie ma katalogu firmy \"%1\"").arg(companyDirectory));
        return false;
    }
    journal = ReadJournal(companyDirectory);
    for (const QString& problem : std::as_const(journal.problems))
        WriteLines(err, problem);
    return true;
}

} // namespace

int RunUndoCommand(const QString& companyDirectory, bool dryRun, std::FILE* out, std::FILE* err)
{
    JournalContents journal;
    if (!readJournal(companyDirectory, err, journal))
        return ExitNotCompleted;
    const UndoPlan plan = PlanUndo(companyDirectory, journal);
    if (!plan.found) {
        WriteLines(err, NothingToUndoText(companyDirectory));
        return ExitNotCompleted;
    }
    if (!plan.canUndo()) {
        WriteLines(err, UndoRefusalText(plan));
        return ExitNotCompleted;
    }
    if (dryRun) {
        WriteLines(out, UndoPlanLines(plan).join(QLatin1Char('\n')));
        WriteLines(out, QStringLiteral("Symulacja: nic nie zmieniono."));
        return ExitCompleted;
    }
    const UndoResult result = ApplyUndo(companyDirectory, plan);
    if (result.done)
        WriteLines(out, UndoDoneLines(plan).join(QLatin1Char('\n')));
    if (!result.failure.isEmpty()) {
        WriteLines(err, result.done ? result.failure : UndoFailureText(plan, result));
        return ExitNotCompleted;
    }
    return ExitCompleted;
}

int RunHistoryCommand(const QString& companyDirectory, std::FILE* out, std::FILE* err)
{
    JournalContents journal;
    if (!readJournal(companyDirectory, err, journal))
        return ExitNotCompleted;
    if (!journal.exists) {
        WriteLines(err, QStringLiteral("W katalogu %1 nie ma dziennika konwersji.").arg(companyDirectory));
        return ExitNotCompleted;
    }
    for (auto run = journal.runs.crbegin(); run != journal.runs.crend(); ++run)
        WriteLines(out, HistoryLine(*run));
    return ExitCompleted;
}

void WarnOfInterruptedRun(const QString& companyDirectory, std::FILE* err)
{
    const JournalContents journal = ReadJournal(companyDirectory);
    for (const QString& problem : journal.problems)
        WriteLines(err, problem);
    const JournalRun* run = InterruptedLastRun(journal);
    if (!run)
        return;
    if (run->files.isEmpty())
        WriteLines(err,
                   QStringLiteral("Uwaga: ostatnia %1 nie została dokończona; nie zapisała żadnego wpisu.")
                       .arg(RunDescription(*run)));
    else
        WriteLines(err, QStringLiteral("Uwaga: ostatnia %1 nie została dokończona. Można ją cofnąć: "
                                       "przenosnik-cli --undo \"%2\"")
                            .arg(RunDescription(*run), companyDirectory));
}

} // namespace przenosnik
