#include "conversion/ConversionRun.h"

#include "conversion/ConversionState.h"
#include "conversion/DocumentMapping.h"
#include "conversion/ExportLineSource.h"
#include "conversion/ExportReader.h"
#include "conversion/RunJournal.h"
#include "ledger/DirectoryLock.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// Opens the export file for reading when it is a regular file (or a link to
// one). A FIFO, a socket or a device could block the run or never end; it is
// looked at before it is opened, and once more after, in case it was swapped.
bool openExportFile(QFile& file, const QString& name)
{
#ifdef Q_OS_UNIX
    using FileStatus = struct stat;
    const QByteArray path = QFile::encodeName(name);
    FileStatus status{};
    if (name.isEmpty() || ::stat(path.constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    const int handle = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0)
        return false;
    const int flags = ::fcntl(handle, F_GETFL);
    if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode) || flags < 0 ||
        ::fcntl(handle, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(handle);
        return false;
    }
    return file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
#else
    file.setFileName(name);
    return QFileInfo(name).isFile() && file.open(QIODevice::ReadOnly);
#endif
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

    QFile file;
    if (!openExportFile(file, settings.exportFile)) {
        host.showExportOpenFailure(QStringLiteral("Błąd otwarcia pliku epp \"") + settings.exportFile +
                                   QStringLiteral("\""));
        return RunOutcome::ExportNotOpened;
    }
    // Only one run writes into a company directory at a time.
    std::optional<DirectoryLock> lock;
    if (!settings.dryRun) {
        lock.emplace(settings.companyDirectory);
        if (lock->busy()) {
            host.showRunRefused(DirectoryBusyText(settings.companyDirectory));
            return RunOutcome::DirectoryBusy;
        }
    }
    run.monthFile.refuseSameFileAs(file.handle());
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
