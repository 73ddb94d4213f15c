#include "cli/UndoCommand.h"

#include "cli/CommandLine.h"
#include "cli/ConsoleOutput.h"
#include "ledger/JournalHistory.h"
#include "ledger/UndoRun.h"
#include "ledger/UndoText.h"

#include <QFileInfo>

namespace przenosnik {

namespace {

// The journal with its unreadable lines reported; false when there is no directory.
bool loadJournal(const QString& companyDirectory, ConsoleOutput& console, JournalContents& journal)
{
    if (!QFileInfo(companyDirectory).isDir()) {
        console.writeErrorLines(QStringLiteral("Nie ma katalogu firmy \"%1\"").arg(companyDirectory));
        return false;
    }
    journal = readJournal(companyDirectory);
    for (const QString& problem : std::as_const(journal.problems))
        console.writeErrorLines(problem);
    return true;
}

} // namespace

int runUndoCommand(const QString& companyDirectory, bool dryRun, std::FILE* out, std::FILE* err)
{
    ConsoleOutput console(out, err);
    JournalContents journal;
    if (!loadJournal(companyDirectory, console, journal))
        return ExitNotCompleted;
    const UndoPlan plan = planUndo(companyDirectory, journal);
    if (!plan.found) {
        console.writeErrorLines(nothingToUndoText(companyDirectory));
        return ExitNotCompleted;
    }
    if (!plan.canUndo()) {
        console.writeErrorLines(undoRefusalText(plan));
        return ExitNotCompleted;
    }
    if (dryRun) {
        console.writeLines(undoPlanLines(plan).join(QLatin1Char('\n')));
        console.writeLines(QStringLiteral("Symulacja: nic nie zmieniono."));
        return ExitCompleted;
    }
    const UndoResult result = applyUndo(companyDirectory, plan);
    if (result.done)
        console.writeLines(undoDoneLines(plan).join(QLatin1Char('\n')));
    if (!result.failure.isEmpty()) {
        console.writeErrorLines(result.done ? result.failure : undoFailureText(plan, result));
        return ExitNotCompleted;
    }
    return ExitCompleted;
}

int runHistoryCommand(const QString& companyDirectory, std::FILE* out, std::FILE* err)
{
    ConsoleOutput console(out, err);
    JournalContents journal;
    if (!loadJournal(companyDirectory, console, journal))
        return ExitNotCompleted;
    if (!journal.exists) {
        console.writeErrorLines(
            QStringLiteral("W katalogu %1 nie ma dziennika konwersji.").arg(companyDirectory));
        return ExitNotCompleted;
    }
    for (auto run = journal.runs.crbegin(); run != journal.runs.crend(); ++run)
        console.writeLines(historyLine(*run));
    return ExitCompleted;
}

void warnOfInterruptedRun(const QString& companyDirectory, ConsoleOutput& console)
{
    const JournalContents journal = readJournal(companyDirectory);
    for (const QString& problem : journal.problems)
        console.writeErrorLines(problem);
    const JournalRun* run = interruptedLastRun(journal);
    if (!run)
        return;
    if (run->files.isEmpty())
        console.writeErrorLines(
            QStringLiteral("Uwaga: ostatnia %1 nie została dokończona; nie zapisała żadnego wpisu.")
                .arg(runDescription(*run)));
    else
        console.writeErrorLines(QStringLiteral("Uwaga: ostatnia %1 nie została dokończona. Można ją cofnąć: "
                                               "przenosnik-cli --undo \"%2\"")
                                    .arg(runDescription(*run), companyDirectory));
}

} // namespace przenosnik
