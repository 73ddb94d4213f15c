// przenosnik-cli: the conversion of the main window, headless.
#include "cli/CommandLine.h"
#include "cli/CompanyListing.h"
#include "cli/ConsoleOutput.h"
#include "cli/ConvertCommand.h"
#include "cli/UndoCommand.h"
#include "platform/Process.h"
#include "report/ReportFile.h"

#include <QCoreApplication>
#ifdef PRZENOSNIK_PDF_REPORT
#include <QGuiApplication>
#endif

#include <cstdio>
#include <memory>

namespace {

// A PDF report lays text out with Qt Gui's fonts, which need a QGuiApplication;
// without a display it draws offscreen.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool pdfReport)
{
#ifdef PRZENOSNIK_PDF_REPORT
    if (pdfReport) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }
#else
    Q_UNUSED(pdfReport);
#endif
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace przenosnik;
    // A closed standard output (a pipe whose reader went away) must not end
    // a run halfway, nor a file-size limit: both become failed writes.
    platform::keepRunningOnFailedWrites();
    // The command line is read before the application exists: it decides which one is needed.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine commandLine = parseCommandLine(arguments);
    const bool pdfReport =
        commandLine.action == CliAction::Convert && reportFormat(commandLine.reportPath) == ReportFormat::Pdf;
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv, pdfReport);
    switch (commandLine.action) {
    case CliAction::Help:
        std::fputs(helpText().toUtf8().constData(), stdout);
        return ExitCompleted;
    case CliAction::Version:
        std::fputs(versionText().toUtf8().constData(), stdout);
        return ExitCompleted;
    case CliAction::Invalid: {
        ConsoleOutput console(stdout, stderr);
        console.writeError(QStringLiteral("przenosnik-cli: %1").arg(commandLine.error));
        console.writeError(QStringLiteral("Pomoc: przenosnik-cli --help"));
        return ExitBadCommandLine;
    }
    case CliAction::ListCompanies:
        return runCompaniesCommand(commandLine.companiesPath, commandLine.settings.ledgerEncoding, stdout,
                                   stderr);
    case CliAction::Undo:
        return runUndoCommand(commandLine.journalDirectory, commandLine.settings.dryRun, stdout, stderr);
    case CliAction::History:
        return runHistoryCommand(commandLine.journalDirectory, stdout, stderr);
    case CliAction::Convert:
        break;
    }
    return runConvertCommand(commandLine.settings, stdout, stderr,
                             RunAftermath{commandLine.reportPath, commandLine.summary});
}
