// What a bookkeeper is told beside the trace: what a real run into a directory
// would meet (found by a dry run), and why a run stopped before the end.
#pragma once

#include "conversion/DocumentResult.h"
#include "conversion/RunConversion.h"

#include <QString>
#include <QStringList>

namespace przenosnik {

// The monthly files a run's results name, each once, in the order first named.
class RunFileTally
{
public:
    void add(const DocumentResult& result) { add(result.state, result.monthFile); }
    void add(DocumentState state, const QString& monthFile);
    // The files of the documents written, or that a dry run would write.
    const QStringList& monthFiles() const { return m_monthFiles; }
    // The file of the document a failure stopped the run at; empty when none.
    const QString& failedFile() const { return m_failedFile; }

private:
    QStringList m_monthFiles;
    QString m_failedFile;
};

// What a real run into the directory would meet, one sentence each.
struct DryRunFindings
{
    // What stands in its way: the directory missing or not writable, locked by
    // another run or holding a run that did not end, a monthly file it cannot write.
    QStringList obstacles;
    QStringList newFiles; // each monthly file it would create
};

// Looks only; creates nothing. Without a directory there is nothing to find.
DryRunFindings dryRunFindings(const QString& companyDirectory, const QStringList& monthFiles);

// The sentence that a run that did not reach its end says first: what happened
// and what to do. Empty for a run that completed (or never opened its export file).
QString stopSentence(RunOutcome outcome, const QString& companyDirectory, const QString& failedFile,
                     const QString& exportFile);

} // namespace przenosnik
