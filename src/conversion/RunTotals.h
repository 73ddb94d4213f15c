// The totals of a run for reconciliation with the VAT registers: counts of
// blocks and states, and the amounts per monthly file and kind.
#pragma once

#include "conversion/RunReport.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace przenosnik {

// The kinds the totals are kept for, as indexes of KindTotals arrays.
enum TotalsKind
{
    SalesTotals = 0,        // "sprzedaż"
    PurchaseTotals = 1,     // "zakup"
    UndeterminedTotals = 2, // "nieokreślony"
};
inline constexpr int TotalsKindCount = 3;
inline constexpr int DocumentStateCount = 8;

struct KindTotals
{
    int documents = 0;
    DocumentAmounts sums;
};

struct FileTotals
{
    QString monthFile; // the full path, as the results give it
    KindTotals byKind[TotalsKindCount];
};

struct RunTotals
{
    int blocks = 0;        // every document block of the file: results, cancelled and other kinds
    int cancelled = 0;     // rejected as cancelled
    int otherKinds = 0;    // rejected as neither sales nor purchase
    int converted = 0;     // the documents the run counted (its "Ilość dokumentów")
    bool readToEnd = true; // false when the run stopped early: the blocks are those read, not the file's
    int byState[DocumentStateCount] = {}; // indexed by DocumentState
    QList<FileTotals> files;              // in the order each file was first written to
    KindTotals overall[TotalsKindCount];
};

// Whether the totals list a state: the usual ones always, "konflikt",
// "wyłączony" and "cofnięty" only when a document has it.
bool stateListed(const RunTotals& totals, int state);

// The totals of a run. The amounts are summed over the documents written
// (in a dry run: those that would be written).
RunTotals computeTotals(const RunReport& report);
// Counts one document into the totals, as computeTotals counts each of a report's documents.
void countDocument(RunTotals& totals, int kind, DocumentState state, const QString& monthFile,
                   const DocumentAmounts& amounts);

// The kind index of a document's kind (1 sales, 2 purchase, anything else undetermined).
int totalsKind(int documentKind);
// "sprzedaż", "zakup" or "nieokreślony" for a document's kind.
QString kindText(int documentKind);
// The same for a TotalsKind index.
QString totalsKindText(int index);

// Adds the amounts of one document to a sum.
void addAmounts(DocumentAmounts& sum, const DocumentAmounts& amounts);

// The captions of the amount columns, in the order of the saved report:
// "Netto 23/22%", ..., "Netto razem", "VAT razem".
QStringList amountCaptions();
// The amounts in the same order as amountCaptions().
QList<double> amountColumns(const DocumentAmounts& amounts);

// The caption of the block count: the file's blocks, or those read before the run stopped.
QString blocksCaption(const RunTotals& totals);

// The totals as plain text lines, amounts formatted as in the saved report.
QStringList totalsLines(const RunTotals& totals);

} // namespace przenosnik
