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
    QStringList notices; // remarks on the run as a whole, in the order they came
};

} // namespace przenosnik
