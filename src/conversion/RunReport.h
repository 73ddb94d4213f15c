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
    QList<DocumentResult> documents; // one per block let through, in run order
    RejectedBlocks rejected;
    QString journalRunId; // the journal's id of a real run that kept one
    QDateTime undoneAt;   // when the run was taken back; invalid while it stands
    QStringList notices;  // remarks on the run as a whole, in the order they came
};

// After the run was taken back: what it wrote reads "cofnięty", and the
// report says when.
void markRunUndone(RunReport& report, const QDateTime& undoneAt);

} // namespace przenosnik
