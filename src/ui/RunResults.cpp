#include "ui/RunResults.h"

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
    m_documentStart = -1;
}

void RunResults::traceLine(int lineNumber, const QString& line)
{
    if (m_documentStart < 0 && line.isEmpty()) {
        m_documentStart = lineNumber;
    }
}

void RunResults::add(const DocumentResult& result, int lineCount)
{
    const int first = m_documentStart < 0 ? lineCount : m_documentStart;
    m_report.documents.append(result);
    m_spans.append(TraceSpan{first, lineCount - first});
    m_documentStart = -1;
}

void RunResults::setRejected(const RejectedBlocks& blocks)
{
    m_report.rejected = blocks;
}

bool RunResults::anyNeedsAttention() const
{
    return std::any_of(m_report.documents.cbegin(), m_report.documents.cend(),
                       [](const DocumentResult& result) { return needsAttention(result); });
}

} // namespace przenosnik
