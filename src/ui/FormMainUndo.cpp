// The main window's way back: the "Cofnij" action, and the offer to take back
// a run that did not end before a new one starts.
#include "ui/FormMain.h"

#include "conversion/RunReplay.h"
#include "ledger/DirectoryLock.h"
#include "ledger/JournalHistory.h"
#include "ledger/UndoRun.h"
#include "ledger/UndoText.h"
#include "ui/Beep.h"
#include "ui/MessageBox.h"
#include "ui/ResultsPages.h"
#include "ui/TraceLog.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <algorithm>

namespace przenosnik {

namespace {
const QString Caption = QStringLiteral("Cofnij ostatnią konwersję");

// The journal, with its unreadable lines reported into the trace.
JournalContents loadJournal(FormMain& window, const QString& companyDirectory, JournalScope scope)
{
    JournalContents journal = readJournal(companyDirectory, scope);
    for (const QString& problem : std::as_const(journal.problems)) {
        window.appendTrace(problem);
    }
    return journal;
}
} // namespace

void FormMain::act_CofnijExecute()
{
    if (m_running) {
        return;
    }
    const QString directory = de_KPR->text();
    if (directory.isEmpty() || !QFileInfo(directory).isDir()) {
        beep();
        de_KPR->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (refuseBusyDirectory(directory)) {
        return;
    }
    const UndoPlan plan =
        planUndoOfLastRun(directory, loadJournal(*this, directory, JournalScope::UndoTarget));
    if (!plan.found) {
        appendTrace(nothingToUndoText(directory));
        m_trace->flush();
        MessageBox::show(this, QMessageBox::Information, Caption, nothingToUndoText(directory),
                         QMessageBox::Ok);
    } else if (!plan.canUndo()) {
        appendTrace(undoRefusalText(plan));
        m_trace->flush();
        MessageBox::show(this, QMessageBox::Warning, Caption, undoRefusalText(plan), QMessageBox::Ok);
    } else if (MessageBox::show(this, QMessageBox::Question, Caption,
                                undoPlanLines(plan).join(QLatin1Char('\n')) +
                                    QStringLiteral("\n\nCofnąć tę konwersję ?"),
                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes) {
        undoRun(directory, plan);
    }
    m_trace->flush();
}

void FormMain::undoRun(const QString& companyDirectory, const UndoPlan& plan)
{
    const UndoResult result = applyUndo(companyDirectory, plan);
    if (result.done || !result.left.isEmpty()) {
        for (const QString& line : undoDoneLines(plan, result)) {
            appendTrace(line);
        }
        // The results of the run taken back say so from now on.
        const RunReport& shown = m_results.summary();
        if (!shown.dryRun && !shown.journalRunId.isEmpty() && shown.journalRunId == plan.run.id &&
            QDir(shown.companyDirectory) == QDir(companyDirectory)) {
            m_results.markUndone(QDateTime::currentDateTime());
            tabs_Wyniki->refreshResults();
        }
    }
    if (!result.failure.isEmpty()) {
        const QString failure = undoFailureText(plan, result);
        appendTrace(failure);
        m_trace->flush();
        MessageBox::show(this, QMessageBox::Warning, Caption, failure, QMessageBox::Ok);
    }
    m_trace->flush();
    if (tabs_Wyniki->currentIndex() == ResultsPages::HistoryPageIndex) {
        tabs_Wyniki->showHistory(companyDirectory);
    }
}

bool FormMain::refuseBusyDirectory(const QString& companyDirectory)
{
    // Taken and let go at once: only a lock another run holds is busy.
    if (!QFileInfo(companyDirectory).isDir() || !DirectoryLock(companyDirectory).busy()) {
        return false;
    }
    showRunRefused(directoryBusyText(companyDirectory));
    return true;
}

bool FormMain::offerUndoOfInterruptedRun(const QString& companyDirectory)
{
    const JournalContents journal = loadJournal(*this, companyDirectory, JournalScope::LastRun);
    const JournalRun* last = interruptedLastRun(journal);
    if (!last || last->files.isEmpty()) {
        return true;
    }
    const QString notice =
        last->undoBegun ? QStringLiteral("Cofanie: %1 nie zostało dokończone.").arg(runDescription(*last))
                        : QStringLiteral("Ostatnia %1 nie została dokończona.").arg(runDescription(*last));
    const UndoPlan plan =
        planUndoOfLastRun(companyDirectory, readJournal(companyDirectory, JournalScope::UndoTarget));
    if (!plan.canUndo()) {
        // It cannot be taken back as it is; the user may still go on.
        return MessageBox::show(this, QMessageBox::Warning, QApplication::applicationName(),
                                notice + QStringLiteral("\n\n") + undoRefusalText(plan),
                                QMessageBox::Ok | QMessageBox::Cancel,
                                QMessageBox::Cancel) == QMessageBox::Ok;
    }
    const QMessageBox::StandardButton answer = MessageBox::show(
        this, QMessageBox::Warning, QApplication::applicationName(),
        notice + QStringLiteral("\n\n") + undoPlanLines(plan).join(QLatin1Char('\n')) +
            QStringLiteral("\n\nCofnąć ją przed nową konwersją ? (Nie: nowa konwersja bez cofania)"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) {
        undoRun(companyDirectory, plan);
    }
    return answer == QMessageBox::Yes || answer == QMessageBox::No;
}

} // namespace przenosnik
