#include "cli/ConvertCommand.h"

#include "cli/CommandLine.h"
#include "cli/ConsoleHost.h"
#include "cli/ConsoleOutput.h"
#include "cli/UndoCommand.h"
#include "conversion/RunTotals.h"
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
    int exitCode = exitCodeFor(RunConversion(run, host));

    if (after.summary)
        console.writeErrorLines(totalsLines(computeTotals(report)).join(QLatin1Char('\n')));
    QString error;
    if (!after.reportPath.isEmpty() && !writeReport(after.reportPath, report, &error)) {
        console.writeErrorLines(error);
        exitCode = ExitNotCompleted;
    }
    return exitCode;
}

} // namespace przenosnik
