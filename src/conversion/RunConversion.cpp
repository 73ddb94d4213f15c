#include "conversion/RunConversion.h"

#include "conversion/ConversionRun.h"
#include "conversion/DocumentMapping.h"
#include "conversion/DocumentSource.h"
#include "conversion/ExportFileName.h"
#include "conversion/ExportLineSource.h"
#include "conversion/ExportReader.h"
#include "conversion/InvoiceIndex.h"
#include "conversion/KsefRun.h"
#include "conversion/LedgerMonths.h"
#include "conversion/RunJournal.h"
#include "encoding/Windows1250.h"
#include "ledger/DirectoryLock.h"
#include "platform/NativeFile.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace przenosnik {

namespace {

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
    const platform::OpenedFile opened = platform::openRegularFile(
        name, platform::Access::Read, platform::Links::Follow, platform::Creation::ExistingOnly);
    return opened.handle >= 0 && file.open(opened.handle, QIODevice::ReadOnly | QIODevice::Unbuffered,
                                           QFileDevice::AutoCloseHandle);
}

DocumentAmounts amountsOf(const LedgerEntry& entry)
{
    DocumentAmounts amounts;
    amounts.netto1 = entry.real(field::Netto1);
    amounts.vat1 = entry.real(field::Vat1);
    amounts.netto2 = entry.real(field::Netto2);
    amounts.vat2 = entry.real(field::Vat2);
    amounts.netto3 = entry.real(field::Netto3);
    amounts.vat3 = entry.real(field::Vat3);
    amounts.netto4 = entry.real(field::Netto4);
    amounts.vat4 = entry.real(field::Vat4);
    amounts.netto0 = entry.real(field::Netto0);
    amounts.nettoWolne = entry.real(field::NettoWolne);
    amounts.nettoNieop = entry.real(field::NettoNieop);
    amounts.kolumna = entry.real(field::Kol1W);
    return amounts;
}

// The result of the document just mapped, before it is known where it goes.
DocumentResult mappedDocument(const ConversionRun& run, int ordinal)
{
    DocumentResult result;
    result.ordinal = ordinal;
    result.kind = run.documentKind;
    result.number = run.notes.number;
    result.partyName = run.notes.partyName;
    result.nip = run.notes.nip;
    result.address = run.notes.address;
    result.date = run.entry.date(field::DocDate);
    result.amounts = amountsOf(run.entry);
    result.remarks = remarkTokens(run.notes, result.date);
    return result;
}

// What a block the reader did not let through says of itself, read without a
// trace line: its number and date when it has them.
RejectedBlock rejectedBlock(const ConversionRun& run, bool cancelled, int resultsBefore)
{
    RejectedBlock block;
    block.cancelled = cancelled;
    block.resultsBefore = resultsBefore;
    bool numberSeen = false;
    bool dateSeen = false;
    for (qsizetype i = 0; i < run.document.size() && !(numberSeen && dateSeen); ++i) {
        const QByteArrayView line = run.document.line(i);
        if (!numberSeen) {
            if (const auto number = LineText("kod =", line)) {
                block.number = decodeWindows1250(*number).trimmed();
                numberSeen = true;
                continue;
            }
        }
        if (!dateSeen) {
            if (const auto text = LineText("data =", line)) {
                dateSeen = true;
                const QByteArray date = text->trimmed().toByteArray();
                bool year = false, month = false, day = false;
                const int y = date.mid(0, 4).toInt(&year);
                const int m = date.mid(5, 2).toInt(&month);
                const int d = date.mid(8, 2).toInt(&day);
                if (year && month && day && date.size() >= 10 && y > 0 && m >= 1 && m <= 12 && d >= 1 &&
                    d <= 31)
                    block.date = LedgerDate{quint8(d), quint8(m), quint16(y)};
            }
        }
    }
    return block;
}

// A document already booked is not appended: the same invoice again is a
// duplicate; one of the same number with other amounts is a conflict.
void reportBooked(ConversionRun& run, DocumentResult result, const QString& path, const BookedMatch& match)
{
    const QString position = QString::number(match.position);
    if (match.sameAmounts) {
        run.trace(QStringLiteral(" * dokument już jest w KPR: plik ") + path + QStringLiteral(", pozycja ") +
                  position + QStringLiteral(" - pominięty *"));
        result.state = DocumentState::Duplicate;
        result.remarks.append(QStringLiteral("jak pozycja ") + position);
    } else {
        run.trace(QStringLiteral(" * dokument o tym numerze jest już w KPR z innymi kwotami: plik ") + path +
                  QStringLiteral(", pozycja ") + position + QStringLiteral(" - pominięty *"));
        result.state = DocumentState::Conflict;
        result.remarks.append(QStringLiteral("różni się od pozycji ") + position);
    }
    result.monthFile = path;
    result.position = match.position;
    run.host.documentResult(std::move(result));
}

// The blocks of the export file.
class ExportDocuments final : public DocumentSource
{
public:
    explicit ExportDocuments(const ExportLineSource& file) : m_file(file) {}
    bool readNext(ConversionRun& run) override { return ReadNextDocument(run); }
    qint64 bytesRead() const override { return m_file.bytesRead(); }
    qint64 bytesTotal() const override { return m_file.size(); }

private:
    const ExportLineSource& m_file;
};

} // namespace

namespace {

// Entries confirmed further on in their files than first numbered (another
// program appended meanwhile) are numbered anew in the results and among the
// invoices booked; the later ones first, as each moves to a higher number.
void renumberMoved(ConversionRun& run, LedgerMonths& months)
{
    const QList<MonthFile::MovedEntry> moved = run.monthFile.takeMovedEntries();
    for (auto entry = moved.crbegin(); entry != moved.crend(); ++entry) {
        run.host.entryMoved(entry->tag, entry->to);
        if (LedgerMonths::Month* month = months.find(entry->path))
            month->invoices.renumber(entry->from, entry->to);
    }
}

bool confirmAppends(ConversionRun& run, LedgerMonths& months)
{
    const bool confirmed = run.monthFile.ConfirmAppends();
    renumberMoved(run, months);
    return confirmed;
}

bool convertEach(ConversionRun& run, LedgerMonths& months, int& documents, DocumentSource& source)
{
    const ConversionSettings& settings = run.settings;
    int ordinal = 0;
    const bool wantsResults = run.host.wantsDocumentResults();
    RunProgress progress;
    progress.bytesTotal = source.bytesTotal();
    int cancelledBefore = run.rejected.cancelled;
    for (;;) {
        const bool letThrough = source.readNext(run);
        progress.bytesRead = source.bytesRead();
        progress.documents = documents;
        run.host.runProgress(progress);
        if (!letThrough) {
            if (run.endOfInput)
                return true;
            // A rejected block leaves no trace.
            if (wantsResults) {
                const bool cancelled = run.rejected.cancelled != cancelledBefore;
                run.host.rejectedBlock(rejectedBlock(run, cancelled, ordinal));
            }
            cancelledBefore = run.rejected.cancelled;
            continue;
        }
        run.trace(QString());
        source.beforeMapping(run);
        bool accepted = MapDocument(run);
        ++ordinal;
        DocumentResult result = wantsResults ? mappedDocument(run, ordinal) : DocumentResult{};
        if (!source.afterMapping(run, result))
            accepted = false;
        if (!accepted) {
            result.state = DocumentState::Skipped;
            run.host.documentResult(std::move(result));
            continue;
        }
        if (settings.excludedDocuments.contains(ordinal)) {
            // In place of its append; not counted, as it is not booked.
            run.trace(QStringLiteral(" * dokument wyłączony przez użytkownika - pominięty *"));
            result.state = DocumentState::Excluded;
            run.host.documentResult(std::move(result));
            continue;
        }
        const LedgerDate date = run.entry.date(field::DocDate);
        LedgerMonths::Month* month = nullptr;
        InvoiceIdentity invoice;
        if (settings.skipDuplicates) {
            // Looked up before the month's file is opened: the file is read once.
            month = &months.month(date.year, date.month);
            invoice = invoiceIdentity(run.entry.bytes());
            BookedMatch match = month->invoices.find(invoice);
            if (match.position > 0 && run.monthFile.hasUnconfirmedAppends()) {
                // The entry it matches may stand further on than first numbered.
                if (!confirmAppends(run, months)) {
                    result.state = DocumentState::NotWritten;
                    result.monthFile = run.monthFile.path();
                    run.host.documentResult(std::move(result));
                    return false;
                }
                match = month->invoices.find(invoice);
            }
            if (match.position > 0) {
                reportBooked(run, std::move(result), month->path, match);
                continue;
            }
        }
        ++documents;
        run.host.setDocumentCount(documents);
        if (settings.dryRun) {
            if (!month)
                month = &months.month(date.year, date.month);
            result.state = DocumentState::WouldBeWritten;
            result.monthFile = month->path;
            result.position = month->nextPosition();
            ++month->added;
            if (settings.skipDuplicates)
                month->invoices.add(invoice, result.position);
            run.host.documentResult(std::move(result));
            continue;
        }
        result.state = DocumentState::NotWritten;
        // The entries of the month before stand where they were numbered, or the run stops.
        if (!run.monthFile.holds(date.year, date.month) && !confirmAppends(run, months)) {
            result.monthFile = run.monthFile.path();
            run.host.documentResult(std::move(result));
            return false;
        }
        if (!run.monthFile.OpenMonthFile(date.year, date.month)) {
            run.trace(QStringLiteral(" * błąd otwarcia okresu *"));
            result.monthFile = run.monthFile.path();
            run.host.documentResult(std::move(result));
            return false;
        }
        result.monthFile = run.monthFile.path();
        const bool appended = run.monthFile.AppendEntry(run.entry, ordinal);
        renumberMoved(run, months);
        if (!appended) {
            // Appended, though into a file that another program cut short or changed meanwhile.
            if (run.monthFile.entryLanded()) {
                result.state = DocumentState::Written;
                result.position = run.entry.int32(field::EntryNo);
            }
            run.host.documentResult(std::move(result));
            return false;
        }
        result.state = DocumentState::Written;
        result.position = run.entry.int32(field::EntryNo);
        if (month)
            month->invoices.add(invoice, result.position);
        run.host.documentResult(std::move(result));
    }
}

} // namespace

void traceRunEnd(ConversionRun& run)
{
    if (run.settings.dryRun)
        run.trace(QStringLiteral(" *** Koniec procedury sprawdzającej (BEZ ZAPISU ) ***"));
    else
        run.trace(QStringLiteral(" *** Koniec przetwarzania ***"));
}

bool convertDocuments(ConversionRun& run, LedgerMonths& months, int& documents, DocumentSource& source)
{
    bool filesOk = convertEach(run, months, documents, source);
    // Every entry written is still where it was written.
    if (!run.settings.dryRun) {
        filesOk = run.monthFile.CheckWrittenEntries() && filesOk;
        renumberMoved(run, months);
    }
    for (const int ordinal : run.monthFile.takeLostEntries())
        run.host.entryLost(ordinal);
    return filesOk;
}

QString utf8ExportNotice()
{
    return QStringLiteral(
        "Plik eksportu jest zapisany w UTF-8 (nie w Windows-1250): odczytano go jako UTF-8.");
}

QString replacedCharactersNotice(qint64 count)
{
    return QStringLiteral(
               "Znaków spoza strony kodowej Windows-1250 w pliku eksportu: %1; odczytano je jako \"?\".")
        .arg(count);
}

InputCheck checkInputs(const QString& exportFileText, const QString& companyDirectory, bool dryRun)
{
    InputCheck check;
    const QString name = stripExportFileQuotes(exportFileText);
    check.exportFile = name;
    if (!isExistingFile(name) && !QFileInfo(name).isDir())
        check.verdict = InputVerdict::FocusExportFile;
    else if (!dryRun && !QFileInfo(companyDirectory).isDir())
        check.verdict = InputVerdict::FocusCompanyDirectory;
    return check;
}

QString exportOpenFailureText(const QString& exportFile)
{
    return QStringLiteral("Błąd otwarcia pliku epp \"") + exportFile + QStringLiteral("\"");
}

RunOutcome RunConversion(const ConversionSettings& settings, ConversionHost& host)
{
    if (isKsefInput(settings.exportFile))
        return RunKsefConversion(settings, host);
    ConversionRun run(settings, host);

    QFile file;
    if (!openExportFile(file, settings.exportFile)) {
        host.showExportOpenFailure(exportOpenFailureText(settings.exportFile));
        return RunOutcome::ExportNotOpened;
    }
    // Only one run writes into a company directory at a time.
    std::optional<DirectoryLock> lock;
    if (!settings.dryRun) {
        lock.emplace(settings.companyDirectory);
        if (lock->busy()) {
            host.showRunRefused(lock->refusal());
            return RunOutcome::DirectoryBusy;
        }
    }
    run.monthFile.refuseSameFileAs(file.handle());
    ExportLineSource source(file);
    run.exportFile = &source;
    const bool utf8 = source.encoding() == ExportEncoding::Utf8;
    if (utf8)
        host.runNotice(utf8ExportNotice());
    // A real run writes down what it changes, so that it can be taken back.
    RunJournal journal(settings, [&run](const QString& line) { run.trace(line); });
    if (!settings.dryRun && settings.keepJournal) {
        journal.start();
        run.monthFile.setObserver(&journal);
        host.journalStarted(journal.runId());
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
        LedgerMonths months(settings, run.monthFile, [&run](const QString& line) { run.trace(line); });
        ExportDocuments blocks(source);
        const bool filesOk = convertDocuments(run, months, documents, blocks);
        if (run.documentSought)
            host.documentLines() = run.document.toStringList();
        outcome = filesOk && !run.readFailed ? RunOutcome::Completed : RunOutcome::StoppedEarly;
        run.trace(QStringLiteral(" *** Ilość dokumentów ") + QString::number(documents));
    }
    traceRunEnd(run);

    run.monthFile.CloseMonthFile();
    journal.finish(outcome);
    if (utf8 && source.replacedCharacters() > 0)
        host.runNotice(replacedCharactersNotice(source.replacedCharacters()));
    run.exportFile = nullptr;
    file.close();
    host.rejectedBlocks(run.rejected);
    return outcome;
}

} // namespace przenosnik
