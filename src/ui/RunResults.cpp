#include "ui/RunResults.h"

#include "conversion/RunChecks.h"

namespace przenosnik {

bool failed(DocumentState state)
{
    return state == DocumentState::Skipped || state == DocumentState::NotWritten ||
           state == DocumentState::Conflict;
}

bool needsAttention(DocumentState state, bool hasRemarks)
{
    return failed(state) || state == DocumentState::Duplicate || hasRemarks;
}

void RunResults::start(const ConversionSettings& settings, const QDateTime& startedAt)
{
    m_report = RunReport();
    m_report.exportFile = settings.exportFile;
    m_report.companyDirectory = settings.companyDirectory;
    m_report.startedAt = startedAt;
    m_report.dryRun = settings.dryRun;
    m_documents.clear();
    m_spans.clear();
    m_rejectedBlocks.clear();
    m_documentStart = -1;
}

void RunResults::traceLine(int lineNumber, const QString& line)
{
    if (m_documentStart < 0 && line.isEmpty()) {
        m_documentStart = lineNumber;
    }
}

void RunResults::add(DocumentResult result, int lineCount)
{
    const int first = m_documentStart < 0 ? lineCount : m_documentStart;
    m_documents.append(result);
    m_spans.append(TraceSpan{first, lineCount - first});
    m_documentStart = -1;
}

void RunResults::setRejected(const RejectedBlocks& blocks)
{
    m_report.rejected = blocks;
}

void RunResults::markLost(int ordinal)
{
    changeResult(m_documents.indexOf(ordinal), [](DocumentResult& result) { przenosnik::markLost(result); });
}

void RunResults::moveEntry(int ordinal, int position)
{
    changeResult(m_documents.indexOf(ordinal),
                 [position](DocumentResult& result) { result.position = position; });
}

void RunResults::changeResult(int index, const std::function<void(DocumentResult&)>& change)
{
    if (index < 0) {
        return;
    }
    DocumentResult result = m_documents.result(index);
    change(result);
    m_documents.update(index, result);
}

void RunResults::setCompanies(const QString& companyName, const QString& exportCompany)
{
    m_report.companyName = companyName;
    m_report.exportCompany = exportCompany;
}

void RunResults::conclude(RunOutcome outcome)
{
    RunFileTally files;
    for (int index = 0; index < m_documents.size(); ++index) {
        files.add(m_documents.state(index), m_documents.monthFile(index));
    }
    m_report.stopReason =
        stopSentence(outcome, m_report.companyDirectory, files.failedFile(), m_report.exportFile);
    if (m_report.dryRun && outcome != RunOutcome::ExportNotOpened) {
        DryRunFindings findings = dryRunFindings(m_report.companyDirectory, files.monthFiles());
        m_report.dryRunObstacles = std::move(findings.obstacles);
        m_report.dryRunNewFiles = std::move(findings.newFiles);
    }
}

void RunResults::markUndone(const QDateTime& undoneAt)
{
    markRunUndone(m_report, undoneAt);
    for (int index = 0; index < m_documents.size(); ++index) {
        const DocumentState state = m_documents.state(index);
        if (undoneState(state) != state) {
            changeResult(index, [](DocumentResult& result) { result.state = undoneState(result.state); });
        }
    }
}

RunReport RunResults::report() const
{
    RunReport report = m_report;
    report.documents.reserve(m_documents.size());
    for (int index = 0; index < m_documents.size(); ++index) {
        report.documents.append(m_documents.result(index));
    }
    return report;
}

RunTotals RunResults::totals() const
{
    // The summary holds no documents: they are counted here.
    RunTotals totals = computeTotals(m_report);
    totals.blocks += m_documents.size();
    for (int index = 0; index < m_documents.size(); ++index) {
        countDocument(totals, m_documents.kind(index), m_documents.state(index), m_documents.monthFile(index),
                      m_documents.amounts(index));
    }
    return totals;
}

bool RunResults::anyNeedsAttention() const
{
    for (int index = 0; index < m_documents.size(); ++index) {
        if (needsAttention(m_documents.state(index), m_documents.hasRemarks(index))) {
            return true;
        }
    }
    return false;
}

} // namespace przenosnik
