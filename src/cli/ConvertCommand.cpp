#include "cli/ConvertCommand.h"

#include "cli/CommandLine.h"
#include "cli/ConsoleHost.h"
#include "cli/UndoCommand.h"

namespace przenosnik {

int ExitCodeFor(RunOutcome outcome)
{
    return outcome == RunOutcome::Completed ? ExitCompleted : ExitNotCompleted;
}

int RunConvertCommand(const ConversionSettings& settings, std::FILE* out, std::FILE* err)
{
    const InputCheck check = CheckInputs(settings.exportFile, settings.companyDirectory, settings.dryRun);
    switch (check.verdict) {
    case InputVerdict::FocusExportFile:
        WriteLine(err, QStringLiteral("Nie ma pliku eksportu \"%1\"").arg(check.exportFile));
        return ExitNotCompleted;
    case InputVerdict::FocusCompanyDirectory:
        WriteLine(err, QStringLiteral("Nie ma katalogu firmy \"%1\"").arg(settings.companyDirectory));
        return ExitNotCompleted;
    case InputVerdict::Run:
        break;
    }

    if (!settings.dryRun)
        WarnOfInterruptedRun(settings.companyDirectory, err);
    ConversionSettings run = settings;
    run.exportFile = check.exportFile;
    ConsoleHost host(out, err);
    return ExitCodeFor(RunConversion(run, host));
}

} // namespace przenosnik
