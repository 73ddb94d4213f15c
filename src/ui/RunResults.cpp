#include "ui/RunResults.h"

#include "conversion/RunChecks.h"

#include <algorithm>

namespace przenosnik {

bool failed(const DocumentResult& result)
{
    return result.state == DocumentState::Skipped || result.state == DocumentState::NotWritten ||
           result.state == DocumentState::Conflict;
}

bool needsAttention(const DocumentResult& result)
{
    return failed(result) || result.state == DocumentState::Duplicate || !result.remarks.isEmpty();
}

void RunResults::start(const ConversionSettings& settings, const QDateTime& startedAt)
{
    m_report = RunReport();
    m_report.exportFile = settings.exportFile;
    m_report.companyDirectory = settings.companyDirectory;
    m_report.startedAt = startedAt;
    m_report.dryRun = settings.dryRun;
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
    m_report.documents.append(std::move(result));
    m_spans.append(TraceSpan{first, lineCount - first});
    m_documentStart = -1;
}

void RunResults::setRejected(const RejectedBlocks& blocks)
{
    m_report.rejected = blocks;
}

void RunResults::markLost(int ordinal)
{
    if (DocumentResult* result = resultOfDocument(m_report.documents, ordinal)) {
        przenosnik::markLost(*result);
    }
}

void RunResults::moveEntry(int ordinal, int position)
{
    if (DocumentResult* result = resultOfDocument(m_report.documents, ordinal)) {
        result->position = position;
    }
}

void RunResults::setCompanies(const QString& companyName, const QString& exportCompany)
{
    m_report.companyName = companyName;
    m_report.exportCompany = exportCompany;
}

void RunResults::conclude(RunOutcome outcome)
{
    RunFileTally files;
    for (const DocumentResult& result : std::as_const(m_report.documents)) {
        files.add(result);
    }
    m_report.stopReason =
        stopSentence(outcome, m_report.companyDirectory, files.failedFile(), m_report.exportFile);
    if (m_report.dryRun && outcome != RunOutcome::ExportNotOpened) {
        DryRunFindings findings = dryRunFindings(m_report.companyDirectory, files.monthFiles());
        m_report.dryRunObstacles = std::move(findings.obstacles);
        m_report.dryRunNewFiles = std::move(findings.newFiles);
    }
}

bool RunResults::anyNeedsAttention() const
{
    return std::any_of(m_report.documents.cbegin(), m_report.documents.cend(),
                       [](const DocumentResult& result) { return needsAttention(result); });
}

} // namespace przenosnik
