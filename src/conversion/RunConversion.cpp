#include "conversion/ConversionRun.h"

#include "conversion/ConversionState.h"
#include "conversion/DocumentMapping.h"
#include "conversion/ExportLineSource.h"
#include "conversion/ExportReader.h"
#include "conversion/RunJournal.h"

#include <QFile>
#include <QFileInfo>

namespace przenosnik {

namespace {

constexpr qsizetype MaxFileNameLength = 255;

bool isExistingFile(const QString& name)
{
    if (name.isEmpty())
        return false;
    const QFileInfo info(name);
    return info.exists() && !info.isDir();
}

// The document loop; answers false when a monthly file failed.
bool convertDocuments(ConversionRun& run, int& documents)
{
    for (;;) {
        if (!ReadNextDocument(run)) {
            if (run.endOfInput)
                return true;
            continue; // a rejected block leaves no trace
        }
        run.trace(QString());
        if (!MapDocument(run))
            continue;
        ++documents;
        run.host.setDocumentCount(documents);
        if (run.settings.dryRun)
            continue;
        const LedgerDate date = run.entry.date(field::DocDate);
        if (!run.monthFile.OpenMonthFile(date.year, date.month)) {
            run.trace(QStringLiteral(" * błąd otwarcia okresu *"));
            return false;
        }
        if (!run.monthFile.AppendEntry(run.entry))
            return false;
    }
}

} // namespace

InputCheck CheckInputs(const QString& exportFileText, const QString& companyDirectory, bool dryRun)
{
    InputCheck check;
    QString name = exportFileText;
    if (name.startsWith(QLatin1Char('"')))
        name = name.mid(1, MaxFileNameLength);
    if (name.endsWith(QLatin1Char('"')))
        name.chop(1);
    check.exportFile = name;
    if (!isExistingFile(name))
        check.verdict = InputVerdict::FocusExportFile;
    else if (!dryRun && !QFileInfo(companyDirectory).isDir())
        check.verdict = InputVerdict::FocusCompanyDirectory;
    return check;
}

RunOutcome RunConversion(const ConversionSettings& settings, ConversionHost& host)
{
    ConversionRun run(settings, host);

    QFile file(settings.exportFile);
    if (!file.open(QIODevice::ReadOnly)) {
        host.showExportOpenFailure(QStringLiteral("Błąd otwarcia pliku epp \"") + settings.exportFile +
                                   QStringLiteral("\""));
        return RunOutcome::ExportNotOpened;
    }
    ExportLineSource source(file);
    run.exportFile = &source;
    // A real run writes down what it changes, so that it can be taken back.
    RunJournal journal(settings, [&run](const QString& line) { run.trace(line); });
    if (!settings.dryRun && settings.keepJournal) {
        journal.start();
        run.monthFile.setObserver(&journal);
    }

    if (settings.dryRun)
        run.trace(QStringLiteral(" *** Procedura sprawdzająca (BEZ ZAPISU ) ***"));
    int documents = 0;
    host.setDocumentCount(documents);
    run.templateVersion = -1;

    ReadHeader(run);
    if (!run.invalidVersion.isEmpty()) {
        // The run stops at once, without another trace line.
        run.monthFile.CloseMonthFile();
        journal.finish(RunOutcome::InvalidVersion);
        host.showInvalidVersion(QLatin1Char('\'') + run.invalidVersion +
                                QStringLiteral("' nie jest poprawną wartością całkowitą"));
        return RunOutcome::InvalidVersion;
    }

    RunOutcome outcome = RunOutcome::UnsuitableVersion;
    if (run.templateVersion != 2 && run.templateVersion != 3) {
        run.trace(QStringLiteral(" *** Nieodpowiednia, różna od (2) lub (3) wersja pliku źródłowego *** "));
    } else {
        run.trace(QStringLiteral(" *** Rozpoczynam konwersję ..."));
        const bool filesOk = convertDocuments(run, documents);
        outcome = filesOk && !run.readFailed ? RunOutcome::Completed : RunOutcome::StoppedEarly;
        run.trace(QStringLiteral(" *** Ilość dokumentów ") + QString::number(documents));
    }
    if (settings.dryRun)
        run.trace(QStringLiteral(" *** Koniec procedury sprawdzającej (BEZ ZAPISU ) ***"));
    else
        run.trace(QStringLiteral(" *** Koniec przetwarzania ***"));

    run.monthFile.CloseMonthFile();
    journal.finish(outcome);
    run.exportFile = nullptr;
    file.close();
    return outcome;
}

} // namespace przenosnik
