// przenosnik-cli: the conversion of the main window, headless.
#include "cli/CommandLine.h"
#include "cli/CompanyListing.h"
#include "cli/ConsoleHost.h"
#include "cli/ConvertCommand.h"
#include "cli/UndoCommand.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv)
{
    using namespace przenosnik;
#ifdef Q_OS_UNIX
    // A closed standard output (a pipe whose reader went away) must not end
    // a run halfway, nor a file-size limit: both become failed writes.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    const CommandLine commandLine = ParseCommandLine(QCoreApplication::arguments());
    switch (commandLine.action) {
    case CliAction::Help:
        std::fputs(HelpText().toUtf8().constData(), stdout);
        return ExitCompleted;
    case CliAction::Version:
        std::fputs(VersionText().toUtf8().constData(), stdout);
        return ExitCompleted;
    case CliAction::Invalid:
        WriteLine(stderr, QStringLiteral("przenosnik-cli: %1").arg(commandLine.error));
        WriteLine(stderr, QStringLiteral("Pomoc: przenosnik-cli --help"));
        return ExitBadCommandLine;
    case CliAction::ListCompanies:
        return RunCompaniesCommand(commandLine.companiesPath, commandLine.settings.ledgerEncoding, stdout,
                                   stderr);
    case CliAction::Undo:
        return RunUndoCommand(commandLine.journalDirectory, commandLine.settings.dryRun, stdout, stderr);
    case CliAction::History:
        return RunHistoryCommand(commandLine.journalDirectory, stdout, stderr);
    case CliAction::Convert:
        break;
    }
    return RunConvertCommand(commandLine.settings, stdout, stderr);
}
