#include "conversion/RunChecks.h"

#include "ledger/DirectoryLock.h"
#include "ledger/JournalHistory.h"

#include <QFileInfo>

namespace przenosnik {

void RunFileTally::add(DocumentState state, const QString& monthFile)
{
    if (state == DocumentState::NotWritten) {
        m_failedFile = monthFile;
        return;
    }
    if (state != DocumentState::Written && state != DocumentState::WouldBeWritten)
        return;
    // Consecutive documents mostly fall into the same month.
    if (!m_monthFiles.isEmpty() && m_monthFiles.constLast() == monthFile)
        return;
    if (!m_monthFiles.contains(monthFile))
        m_monthFiles.append(monthFile);
}

namespace {
QString missingDirectoryText(const QString& directory)
{
    return directory.isEmpty() ? QStringLiteral("Nie podano katalogu firmy. Wybierz katalog firmy "
                                                "(Firmy KPR) albo wpisz go.")
                               : QStringLiteral("Katalog %1 nie istnieje. Sprawdź nazwę albo wybierz "
                                                "katalog firmy z listy (Firmy KPR).")
                                     .arg(directory);
}

QString readOnlyDirectoryText(const QString& directory)
{
    return QStringLiteral("Nie można zapisać w katalogu %1: brak uprawnień do zapisu. Sprawdź "
                          "uprawnienia albo wybierz inny katalog.")
        .arg(directory);
}

QString readOnlyFileText(const QString& file)
{
    return QStringLiteral("Nie można zapisać pliku %1: brak uprawnień do zapisu. Sprawdź uprawnienia "
                          "pliku albo wybierz inny katalog.")
        .arg(file);
}
} // namespace

DryRunFindings dryRunFindings(const QString& companyDirectory, const QStringList& monthFiles)
{
    DryRunFindings findings;
    // A dry run without a directory checks the export file alone.
    if (companyDirectory.isEmpty())
        return findings;
    const QFileInfo directory(companyDirectory);
    if (!directory.isDir()) {
        findings.obstacles.append(missingDirectoryText(companyDirectory));
        return findings;
    }
    if (!directory.isWritable())
        findings.obstacles.append(readOnlyDirectoryText(companyDirectory));
    if (directoryLockedByAnother(companyDirectory))
        findings.obstacles.append(directoryBusyText(companyDirectory));
    const JournalContents journal = readJournal(companyDirectory);
    if (const JournalRun* run = interruptedLastRun(journal))
        findings.obstacles.append(
            QStringLiteral("Ostatnia konwersja do katalogu %1 nie została dokończona; %2")
                .arg(companyDirectory,
                     run->files.isEmpty()
                         ? QStringLiteral("nie zapisała żadnego wpisu.")
                         : QStringLiteral("przed zapisem program zaproponuje jej cofnięcie.")));
    for (const QString& file : monthFiles) {
        const QFileInfo info(file);
        if (!info.exists())
            findings.newFiles.append(QStringLiteral("Zostanie utworzony plik %1.").arg(file));
        else if (!info.isWritable())
            findings.obstacles.append(readOnlyFileText(file));
    }
    return findings;
}

QString stopSentence(RunOutcome outcome, const QString& companyDirectory, const QString& failedFile,
                     const QString& exportFile)
{
    switch (outcome) {
    case RunOutcome::Completed:
    case RunOutcome::ExportNotOpened:
    case RunOutcome::CompanyUnknown: // said already, before the run started
        return {};
    case RunOutcome::InvalidVersion:
    case RunOutcome::UnsuitableVersion:
        return QStringLiteral("To nie jest plik eksportu faktur w wersji 2 lub 3.");
    case RunOutcome::DirectoryBusy:
        return directoryBusyText(companyDirectory);
    case RunOutcome::StoppedEarly:
        break;
    }
    if (failedFile.isEmpty())
        return QStringLiteral("Nie można dalej czytać pliku %1. Sprawdź, czy plik jest dostępny, i uruchom "
                              "konwersję ponownie.")
            .arg(exportFile);
    const QFileInfo directory(companyDirectory);
    if (companyDirectory.isEmpty() || !directory.isDir())
        return missingDirectoryText(companyDirectory);
    if (!directory.isWritable())
        return readOnlyDirectoryText(companyDirectory);
    const QFileInfo file(failedFile);
    if (file.isDir())
        return QStringLiteral(
                   "W miejscu pliku %1 jest katalog. Usuń go albo zmień jego nazwę i uruchom konwersję "
                   "ponownie.")
            .arg(failedFile);
    if (file.exists() && !file.isWritable())
        return readOnlyFileText(failedFile);
    // "...T305.13": a document dated in a month the calendar has not.
    bool numbered = false;
    const int month = file.suffix().toInt(&numbered);
    if (!numbered || month < 1 || month > 12)
        return QStringLiteral(
                   "Dokument ma datę spoza kalendarza (plik %1). Popraw datę w programie sprzedaży, "
                   "wyeksportuj plik ponownie i uruchom konwersję.")
            .arg(failedFile);
    return QStringLiteral(
               "Nie można zapisać pliku %1. Sprawdź, czy na dysku jest miejsce i czy plik nie jest "
               "zablokowany, potem uruchom konwersję ponownie; wpisy już zapisane można cofnąć.")
        .arg(failedFile);
}

} // namespace przenosnik
