#include "cli/ConvertCommand.h"

#include "cli/CommandLine.h"
#include "cli/ConsoleHost.h"
#include "cli/ConsoleOutput.h"
#include "cli/UndoCommand.h"
#include "conversion/ExportCompany.h"
#include "conversion/RunChecks.h"
#include "conversion/RunTotals.h"
#include "ledger/CompanyList.h"
#include "report/ReportFile.h"

#include <QDateTime>

namespace przenosnik {

int exitCodeFor(RunOutcome outcome)
{
    return outcome == RunOutcome::Completed ? ExitCompleted : ExitNotCompleted;
}

int runConvertCommand(const ConversionSettings& settings, std::FILE* out, std::FILE* err,
                      const RunAftermath& after)
{
    ConsoleOutput console(out, err);
    const InputCheck check = checkInputs(settings.exportFile, settings.companyDirectory, settings.dryRun);
    switch (check.verdict) {
    case InputVerdict::FocusExportFile:
        console.writeError(QStringLiteral("Nie ma pliku eksportu \"%1\"").arg(check.exportFile));
        return ExitNotCompleted;
    case InputVerdict::FocusCompanyDirectory:
        console.writeError(QStringLiteral("Nie ma katalogu firmy \"%1\"").arg(settings.companyDirectory));
        return ExitNotCompleted;
    case InputVerdict::Run:
        break;
    }

    if (!settings.dryRun)
        warnOfInterruptedRun(settings.companyDirectory, console);
    ConversionSettings run = settings;
    run.exportFile = check.exportFile;
    ConsoleHost host(console, after.summary || !after.reportPath.isEmpty());
    RunReport& report = host.report();
    report.exportFile = run.exportFile;
    report.companyDirectory = run.companyDirectory;
    report.startedAt = QDateTime::currentDateTime();
    report.dryRun = run.dryRun;
    const RunOutcome outcome = RunConversion(run, host);
    int exitCode = exitCodeFor(outcome);

    // Documents to leave out that the export does not have: said, not passed over.
    if (outcome == RunOutcome::Completed) {
        const QString beyond = run.excludedDocuments.from(host.mappedDocuments() + 1).text();
        if (!beyond.isEmpty())
            console.writeError(
                QStringLiteral("--skip-documents: w eksporcie nie ma dokumentów %1 (jest ich %2)")
                    .arg(beyond)
                    .arg(host.mappedDocuments()));
    }
    // Beside the trace: why the run stopped, or what a real run would meet.
    report.stopReason =
        stopSentence(outcome, run.companyDirectory, host.files().failedFile(), run.exportFile);
    // The refusal of a busy directory has been said already.
    if (!report.stopReason.isEmpty() && outcome != RunOutcome::DirectoryBusy)
        console.writeErrorLines(report.stopReason);
    if (run.dryRun && outcome != RunOutcome::ExportNotOpened) {
        DryRunFindings findings = dryRunFindings(run.companyDirectory, host.files().monthFiles());
        report.dryRunObstacles = std::move(findings.obstacles);
        report.dryRunNewFiles = std::move(findings.newFiles);
        for (const QString& finding : report.dryRunObstacles + report.dryRunNewFiles)
            console.writeErrorLines(finding);
    }
    if (after.summary || !after.reportPath.isEmpty()) {
        report.companyName = companyNameOf(run.companyDirectory, run.ledgerEncoding);
        report.exportCompany = exportCompanyName(run.exportFile);
    }
    if (after.summary)
        console.writeErrorLines(
            (companyLines(report.companyName, report.exportCompany) + totalsLines(computeTotals(report)))
                .join(QLatin1Char('\n')));
    QString error;
    if (!after.reportPath.isEmpty() && !writeReport(after.reportPath, report, &error)) {
        console.writeErrorLines(error);
        exitCode = ExitNotCompleted;
    }
    return exitCode;
}

} // namespace przenosnik
