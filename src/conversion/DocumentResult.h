// What a run did with each document block: the second channel beside the
// trace, for the document table, the totals and the saved report.
#pragma once

#include "ledger/LedgerEntry.h"

#include <QString>
#include <QStringList>

namespace przenosnik {

enum class DocumentState
{
    Written,        // "zapisany": appended to its monthly file
    WouldBeWritten, // "do zapisu": a dry run would append it
    Skipped,        // "pominięty": a required key is missing, not accepted
    NotWritten,     // "niezapisany": accepted, but a monthly file failure stopped the run at it
    Duplicate,      // "duplikat": already in the monthly file, not appended
    Conflict,       // "konflikt": its number is in the monthly file with other amounts; not appended
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

// The blocks of a run that the reader did not let through.
struct RejectedBlocks
{
    int cancelled = 0;
    int otherKinds = 0; // neither sales nor purchase
};

} // namespace przenosnik
