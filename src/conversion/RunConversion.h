// One conversion of an export file into the ledger's monthly files.
#pragma once

#include "conversion/DocumentResult.h"
#include "conversion/DocumentSelection.h"
#include "encoding/PolishEncoding.h"

#include <QString>
#include <QStringList>

namespace przenosnik {

// The options of one run: the values of the main window's controls.
// The defaults are those of a first start.
struct ConversionSettings
{
    QString exportFile;                                    // FE_EPP: the export file name
    QString companyDirectory;                              // de_KPR: the company's data directory
    PolishEncoding ledgerEncoding = PolishEncoding::Cp852; // RB_MAZ checked: Mazovia
    bool sym2006 = true;                                   // chb_Sym2006
    bool szablon31 = true;                                 // chb_Szablon31
    bool postalCode = false;                               // chb_kod
    QString attribute;                                     // Edit_Atrybut
    QString registerId;                                    // Edit_REJ
    QString defaultDescription;                            // Edit_OPIS
    bool alwaysDescription = false;                        // chb_def_opis
    bool dryRun = false;                                   // ch_sprawdz ("symulacja")
    // A real run keeps its journal PRZENOSN.JRN and backups PRZENOSN.BAK, so that it can be taken back.
    bool keepJournal = true;
    bool skipDuplicates = true; // chb_duplikaty: already booked invoices skipped
    // The documents the user chose not to book, by ordinal: mapped and
    // reported, never appended.
    DocumentSelection excludedDocuments;
    // "NIP firmy": the company's side of KSeF invoices; empty: the one NIP every invoice holds.
    QString companyNip;
};

// How far a run has come: the share of the export file read, and the
// documents counted so far (the value of setDocumentCount).
struct RunProgress
{
    qint64 bytesRead = 0;
    qint64 bytesTotal = 0;
    int documents = 0;
};

// What a run needs of the window (or the command-line converter) that hosts it.
class ConversionHost
{
public:
    virtual ~ConversionHost() = default;

    // Appends one whole line to the trace log.
    virtual void appendTrace(const QString& line) = 0;
    // The lines of the current document block (mDokument).
    virtual QStringList& documentLines() = 0;
    // The number of documents mapped in the current run (Dokumentow).
    virtual void setDocumentCount(int count) = 0;
    // The failures that reach the user as message boxes.
    virtual void showExportOpenFailure(const QString& message) = 0;
    virtual void showInvalidVersion(const QString& message) = 0;
    // Another conversion is writing into the company directory: the run did not start.
    virtual void showRunRefused(const QString& message) = 0;
    // The second channel: one result per document block let through, and at
    // the end of the run the blocks that were not. A host may ignore both.
    virtual void documentResult(DocumentResult result) { Q_UNUSED(result); }
    // A host that ignores the results is handed empty ones, cheaper to make.
    virtual bool wantsDocumentResults() const { return true; }
    // The entry of a document reported written is gone from its monthly file
    // (another program cut the file short or wrote over it): see markLost.
    virtual void entryLost(int ordinal) { Q_UNUSED(ordinal); }
    // The entry of a document reported written stands at another position
    // (another program appended to its file meanwhile).
    virtual void entryMoved(int ordinal, int position)
    {
        Q_UNUSED(ordinal);
        Q_UNUSED(position);
    }
    virtual void rejectedBlocks(const RejectedBlocks& blocks) { Q_UNUSED(blocks); }
    // Each block not let through, when the host wants the results.
    virtual void rejectedBlock(const RejectedBlock& block) { Q_UNUSED(block); }
    // A real run has written its journal record under this id.
    virtual void journalStarted(const QString& runId) { Q_UNUSED(runId); }
    // A remark on the run as a whole, such as how the export file was read.
    virtual void runNotice(const QString& text) { Q_UNUSED(text); }
    // Called after every document block read, often: a host that shows it
    // decides itself how often it repaints.
    virtual void runProgress(const RunProgress& progress) { Q_UNUSED(progress); }
};

// What the "Konwersja" action does after checking its inputs.
enum class InputVerdict
{
    Run,
    FocusExportFile,
    FocusCompanyDirectory
};

struct InputCheck
{
    InputVerdict verdict = InputVerdict::Run;
    QString exportFile; // the export file text without its surrounding quotes, to show in FE_EPP
};

InputCheck checkInputs(const QString& exportFileText, const QString& companyDirectory, bool dryRun);

enum class RunOutcome
{
    ExportNotOpened,   // message box; the trace is untouched
    InvalidVersion,    // the version character is not a digit; message box; the run stopped at once
    UnsuitableVersion, // no version 2 or 3: no document was read
    Completed,         // the export file was read to its end
    StoppedEarly,      // a monthly file could not be opened or appended to
    DirectoryBusy,     // another run holds the company directory's lock; message box; the trace is untouched
    CompanyUnknown,    // KSeF invoices whose company side no NIP tells; message box; the trace is untouched
};

RunOutcome RunConversion(const ConversionSettings& settings, ConversionHost& host);

// The message box of an export file (or KSeF invoice) that cannot be opened.
QString exportOpenFailureText(const QString& exportFile);

// The run's notices about an export file saved as UTF-8.
QString utf8ExportNotice();
QString replacedCharactersNotice(qint64 count);

} // namespace przenosnik
