// Everything a run reported through its second channel, kept for the
// document table, the totals and the saved report.
#pragma once

#include "conversion/DocumentResult.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace przenosnik {

struct RunReport
{
    QString exportFile;       // as the run opened it
    QString companyDirectory; // de_KPR as the run used it
    QDateTime startedAt;      // local date and time the run started
    bool dryRun = false;
    QString companyName;   // the company of de_KPR in the ledger's company list; empty when none
    QString exportCompany; // the "Firma =" of the export's header; empty when it has none
    // One sentence of what stopped a run that did not reach the end, and what to do; empty otherwise.
    QString stopReason;
    // Found by a dry run: what stands in a real run's way into the directory, and
    // the monthly files that a real run would create; a sentence each.
    QStringList dryRunObstacles;
    QStringList dryRunNewFiles;
    QList<DocumentResult> documents; // one per block let through, in run order
    RejectedBlocks rejected;
    QString journalRunId; // the journal's id of a real run that kept one
    QDateTime undoneAt;   // when the run was taken back; invalid while it stands
    QStringList notices;  // remarks on the run as a whole, in the order they came
};

// After the run was taken back: what it wrote reads "cofnięty", and the
// report says when.
void markRunUndone(RunReport& report, const QDateTime& undoneAt);
// The state of a document once its run is taken back.
DocumentState undoneState(DocumentState state);

} // namespace przenosnik
