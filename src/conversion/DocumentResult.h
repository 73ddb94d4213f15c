// What a run did with each document block: the second channel beside the
// trace, for the document table, the totals and the saved report.
#pragma once

#include "ledger/LedgerEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace przenosnik {

enum class DocumentState
{
    Written,        // "zapisany": appended to its monthly file
    WouldBeWritten, // "do zapisu": a dry run would append it
    Skipped,        // "pominięty": a required key is missing, not accepted
    NotWritten,     // "niezapisany": accepted, but a monthly file failure stopped the run at it,
                    // or its entry was written and then lost (see markLost)
    Duplicate,      // "duplikat": already in the monthly file, not appended
    Conflict,       // "konflikt": its number is in the monthly file with other amounts; not appended
    Excluded,       // "wyłączony": the user chose not to book it; not appended
    Undone,         // "cofnięty": appended, then taken back with the rest of its run
};

// The Polish name of a state as the report and the table show it.
QString stateText(DocumentState state);

// The amounts of an entry as it was (or would be) written.
struct DocumentAmounts
{
    double netto1 = 0, vat1 = 0;
    double netto2 = 0, vat2 = 0;
    double netto3 = 0, vat3 = 0;
    double netto4 = 0, vat4 = 0;
    double netto0 = 0;
    double nettoWolne = 0;
    double nettoNieop = 0;
    double kolumna = 0; // kol[1].W

    double vatTotal() const { return vat1 + vat2 + vat3 + vat4; }
};

// One document block that the reader let through.
struct DocumentResult
{
    int ordinal = 0; // 1, 2, ... in run order
    int kind = -1;   // 1 sales, 2 purchase, -1 not given
    QString number;  // the texts as the trace shows them
    QString partyName;
    QString nip;
    QString address;
    LedgerDate date;
    DocumentAmounts amounts;
    QString monthFile; // full path of the monthly file; empty when not accepted
    int position = 0;  // 1-based record number written (or that would be); 0 when none
    DocumentState state = DocumentState::Skipped;
    QStringList remarks; // the remark tokens, in their fixed order
};

// A document whose entry was written and is no longer in its monthly file.
void markLost(DocumentResult& result);

// The result of that document in a list of results in run order, or null.
DocumentResult* resultOfDocument(QList<DocumentResult>& results, int ordinal);

// One block the reader did not let through, as far as it names itself.
struct RejectedBlock
{
    bool cancelled = false; // else neither sales nor purchase
    QString number;         // "kod =", empty when the block has none
    LedgerDate date;        // "data =", all zero when it has none or it is not a date
    int resultsBefore = 0;  // the results the run reported before this block
};

// A file of a KSeF run that is not an invoice of this company.
struct RejectedFile
{
    QString name;   // the file's name, without its folder
    QString remark; // why: "to nie jest faktura KSeF", "błędny XML (wiersz N)", ...
};

// The blocks of a run that the reader did not let through.
struct RejectedBlocks
{
    int cancelled = 0;
    int otherKinds = 0;          // neither sales nor purchase
    QList<RejectedFile> files{}; // KSeF files among the other kinds, in run order
};

} // namespace przenosnik

// Moved in memory as plain bytes when a run's list of results grows.
Q_DECLARE_TYPEINFO(przenosnik::DocumentResult, Q_RELOCATABLE_TYPE);
