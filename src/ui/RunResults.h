// What the last run reported to the window through its second channel: the
// run's report and, for each document, the trace lines that belong to it.
#pragma once

#include "conversion/RunConversion.h"
#include "conversion/RunReport.h"

#include <QDateTime>
#include <QList>

namespace przenosnik {

// A range of trace lines, by line number in the trace log.
struct TraceSpan
{
    int first = 0;
    int count = 0;
};

// Whether a document was held back (skipped, a duplicate, not written) or has remarks.
bool needsAttention(const DocumentResult& result);
// Whether it was held back because of a fault: not accepted, not written, or in conflict with the ledger.
bool failed(const DocumentResult& result);

class RunResults
{
public:
    // Forgets the last run and starts collecting for a new one.
    void start(const ConversionSettings& settings, const QDateTime& startedAt);
    // Every line the run appends to the trace, with its line number. A
    // document's lines start at the first empty line after the previous result.
    void traceLine(int lineNumber, const QString& line);
    // A document's result, reported after its trace lines; lineCount is the
    // number of trace lines so far.
    void add(DocumentResult result, int lineCount);
    void setRejected(const RejectedBlocks& blocks);
    // The entry of a document reported written is gone from its file.
    void markLost(int ordinal);
    // The entry of a document reported written stands at that position.
    void moveEntry(int ordinal, int position);
    // A block not let through, for the document table only.
    void addRejected(const RejectedBlock& block) { m_rejectedBlocks.append(block); }
    void setJournalRunId(const QString& runId) { m_report.journalRunId = runId; }
    // The run was taken back at that time.
    void markUndone(const QDateTime& undoneAt) { markRunUndone(m_report, undoneAt); }
    void addNotice(const QString& text) { m_report.notices.append(text); }
    // The company of the directory and the one the export names.
    void setCompanies(const QString& companyName, const QString& exportCompany);
    // At the run's end: why it stopped, or what a real run would meet.
    void conclude(RunOutcome outcome);
    // The run has been taken back.

    const RunReport& report() const { return m_report; }
    int size() const { return int(m_report.documents.size()); }
    const DocumentResult& at(int row) const { return m_report.documents.at(row); }
    TraceSpan traceSpan(int row) const { return m_spans.at(row); }
    int rejectedCount() const { return int(m_rejectedBlocks.size()); }
    const RejectedBlock& rejectedAt(int index) const { return m_rejectedBlocks.at(index); }
    // Whether any document of the run needs attention.
    bool anyNeedsAttention() const;

private:
    RunReport m_report;
    QList<TraceSpan> m_spans;
    QList<RejectedBlock> m_rejectedBlocks;
    int m_documentStart = -1; // the first line of the document being reported; -1 before it
};

} // namespace przenosnik
