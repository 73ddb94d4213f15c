// What the last run reported to the window through its second channel: the
// run's report and, for each document, the trace lines that belong to it.
#pragma once

#include "conversion/RunConversion.h"
#include "conversion/RunReport.h"
#include "conversion/RunTotals.h"
#include "ui/ResultStore.h"

#include <QDateTime>
#include <QList>

#include <functional>

namespace przenosnik {

// A range of trace lines, by line number in the trace log.
struct TraceSpan
{
    int first = 0;
    int count = 0;
};

// Whether a document was held back (skipped, a duplicate, not written) or has remarks.
bool needsAttention(DocumentState state, bool hasRemarks);
// Whether it was held back because of a fault: not accepted, not written, or in conflict with the ledger.
bool failed(DocumentState state);

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
    void markUndone(const QDateTime& undoneAt);
    void addNotice(const QString& text) { m_report.notices.append(text); }
    // The company of the directory and the one the export names.
    void setCompanies(const QString& companyName, const QString& exportCompany);
    // At the run's end: why it stopped, or what a real run would meet.
    void conclude(RunOutcome outcome);

    // The run's report without its documents, which are read one by one through at().
    const RunReport& summary() const { return m_report; }
    // The whole report, each document's result copied into it: for saving and printing.
    RunReport report() const;
    RunTotals totals() const;
    int size() const { return m_documents.size(); }
    DocumentView at(int row) const { return m_documents.at(row); }
    DocumentState state(int row) const { return m_documents.state(row); }
    int ordinal(int row) const { return m_documents.ordinal(row); }
    TraceSpan traceSpan(int row) const { return m_spans.at(row); }
    int rejectedCount() const { return int(m_rejectedBlocks.size()); }
    const RejectedBlock& rejectedAt(int index) const { return m_rejectedBlocks.at(index); }
    // Whether any document of the run needs attention.
    bool anyNeedsAttention() const;

private:
    // Changes what may change of a document's result after it was reported; nothing for index -1.
    void changeResult(int index, const std::function<void(DocumentResult&)>& change);

    RunReport m_report; // its documents are kept in m_documents
    ResultStore m_documents;
    QList<TraceSpan> m_spans;
    QList<RejectedBlock> m_rejectedBlocks;
    int m_documentStart = -1; // the first line of the document being reported; -1 before it
};

} // namespace przenosnik
