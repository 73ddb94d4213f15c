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
        WriteMessageLines(err, QStringLiteral("Nie ma katalogu firmy \"%1\"").arg(companyDirectory));
        return false;
    }
    journal = ReadJournal(companyDirectory);
    for (const QString& problem : std::as_const(journal.problems))
        WriteMessageLines(err, problem);
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
        WriteMessageLines(err, NothingToUndoText(companyDirectory));
        return ExitNotCompleted;
    }
    if (!plan.canUndo()) {
        WriteMessageLines(err, UndoRefusalText(plan));
        return ExitNotCompleted;
    }
    if (dryRun) {
        WriteMessageLines(out, UndoPlanLines(plan).join(QLatin1Char('\n')));
        WriteMessageLines(out, QStringLiteral("Symulacja: nic nie zmieniono."));
        return ExitCompleted;
    }
    const UndoResult result = ApplyUndo(companyDirectory, plan);
    if (result.done)
        WriteMessageLines(out, UndoDoneLines(plan).join(QLatin1Char('\n')));
    if (!result.failure.isEmpty()) {
        WriteMessageLines(err, result.done ? result.failure : UndoFailureText(plan, result));
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
        WriteMessageLines(err,
                          QStringLiteral("W katalogu %1 nie ma dziennika konwersji.").arg(companyDirectory));
        return ExitNotCompleted;
    }
    for (auto run = journal.runs.crbegin(); run != journal.runs.crend(); ++run)
        WriteMessageLines(out, HistoryLine(*run));
    return ExitCompleted;
}

void WarnOfInterruptedRun(const QString& companyDirectory, std::FILE* err)
{
    const JournalContents journal = ReadJournal(companyDirectory);
    for (const QString& problem : journal.problems)
        WriteMessageLines(err, problem);
    const JournalRun* run = InterruptedLastRun(journal);
    if (!run)
        return;
    if (run->files.isEmpty())
        WriteMessageLines(
            err, QStringLiteral("Uwaga: ostatnia %1 nie została dokończona; nie zapisała żadnego wpisu.")
                     .arg(RunDescription(*run)));
    else
        WriteMessageLines(err, QStringLiteral("Uwaga: ostatnia %1 nie została dokończona. Można ją cofnąć: "
                                              "przenosnik-cli --undo \"%2\"")
                                   .arg(RunDescription(*run), companyDirectory));
}

} // namespace przenosnik
