// The main window's way back: the "Cofnij" action, and the offer to take back
// a run that did not end before a new one starts.
#include "ui/FormMain.h"

#include "ledger/JournalHistory.h"
#include "ledger/UndoRun.h"
#include "ledger/UndoText.h"
#include "ui/Beep.h"
#include "ui/MessageBox.h"
#include "ui/TraceLog.h"

#include <QApplication>
#include <QDateTime>

#include <QFileInfo>
#include <QLineEdit>
#include <algorithm>

namespace przenosnik {

namespace {
const QString Caption = QStringLiteral("Cofnij ostatnią konwersję");

// The journal, with its unreadable lines reported into the trace.
JournalContents loadJournal(FormMain& window, const QString& companyDirectory)
{
    JournalContents journal = readJournal(companyDirectory);
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
    const UndoPlan plan = planUndo(directory, loadJournal(*this, directory));
    if (!plan.found) {
        appendTrace(nothingToUndoText(directory));
    } else if (!plan.canUndo()) {
        appendTrace(undoRefusalText(plan));
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
    if (result.done) {
        for (const QString& line : undoDoneLines(plan)) {
            appendTrace(line);
        }
        // The report of the run shown, when that is the run taken back, says so from now on.
        const RunReport& shown = m_results.report();
        if (!shown.dryRun && shown.companyDirectory == companyDirectory &&
            std::any_of(shown.documents.cbegin(), shown.documents.cend(), [](const DocumentResult& document) {
                return document.state == DocumentState::Written;
            })) {
            m_results.markUndone(QDateTime::currentDateTime());
        }
    }
    if (!result.failure.isEmpty()) {
        appendTrace(result.done ? result.failure : undoFailureText(plan, result));
    }
    m_trace->flush();
}

bool FormMain::offerUndoOfInterruptedRun(const QString& companyDirectory)
{
    const JournalContents journal = loadJournal(*this, companyDirectory);
    const JournalRun* last = interruptedLastRun(journal);
    if (!last || last->files.isEmpty()) {
        return true;
    }
    const QString notice = QStringLiteral("Ostatnia %1 nie została dokończona.").arg(runDescription(*last));
    const UndoPlan plan = planUndo(companyDirectory, journal);
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
