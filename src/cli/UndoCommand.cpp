#include "cli/UndoCommand.h"

#include "cli/CommandLine.h"
#include "cli/ConsoleOutput.h"
#include "conversion/RunReplay.h"
#include "ledger/JournalHistory.h"
#include "ledger/UndoRun.h"
#include "ledger/UndoText.h"

#include <QFileInfo>

namespace przenosnik {

namespace {

// The journal with its unreadable lines reported; false when there is no directory.
bool loadJournal(const QString& companyDirectory, ConsoleOutput& console, JournalContents& journal,
                 JournalScope scope)
{
    if (!QFileInfo(companyDirectory).isDir()) {
        console.writeErrorLines(QStringLiteral("Nie ma katalogu firmy \"%1\"").arg(companyDirectory));
        return false;
    }
    journal = readJournal(companyDirectory, scope);
    for (const QString& problem : std::as_const(journal.problems))
        console.writeErrorLines(problem);
    return true;
}

} // namespace

int runUndoCommand(const QString& companyDirectory, bool dryRun, std::FILE* out, std::FILE* err)
{
    ConsoleOutput console(out, err);
    JournalContents journal;
    if (!loadJournal(companyDirectory, console, journal, JournalScope::UndoTarget))
        return ExitNotCompleted;
    const UndoPlan plan = planUndoOfLastRun(companyDirectory, journal);
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
    if (result.done || !result.left.isEmpty())
        console.writeLines(undoDoneLines(plan, result).join(QLatin1Char('\n')));
    if (!result.failure.isEmpty()) {
        console.writeErrorLines(undoFailureText(plan, result));
        return ExitNotCompleted;
    }
    return ExitCompleted;
}

int runHistoryCommand(const QString& companyDirectory, std::FILE* out, std::FILE* err)
{
    ConsoleOutput console(out, err);
    JournalContents journal;
    if (!loadJournal(companyDirectory, console, journal, JournalScope::Whole))
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
    const JournalContents journal = readJournal(companyDirectory, JournalScope::LastRun);
    for (const QString& problem : journal.problems)
        console.writeErrorLines(problem);
    const JournalRun* run = interruptedLastRun(journal);
    if (!run)
        return;
    if (run->undoBegun)
        console.writeErrorLines(QStringLiteral("Uwaga: cofanie: %1 nie zostało dokończone. Dokończy je: "
                                               "przenosnik-cli --undo \"%2\"")
                                    .arg(runDescription(*run), companyDirectory));
    else if (run->files.isEmpty())
        console.writeErrorLines(
            QStringLiteral("Uwaga: ostatnia %1 nie została dokończona; nie zapisała żadnego wpisu.")
                .arg(runDescription(*run)));
    else
        console.writeErrorLines(QStringLiteral("Uwaga: ostatnia %1 nie została dokończona. Można ją cofnąć: "
                                               "przenosnik-cli --undo \"%2\"")
                                    .arg(runDescription(*run), companyDirectory));
}

} // namespace przenosnik
