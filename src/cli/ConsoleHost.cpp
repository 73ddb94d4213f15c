#include "cli/ConsoleHost.h"

namespace przenosnik {

void ConsoleHost::appendTrace(const QString& line)
{
    m_console.writeLine(line);
}

void ConsoleHost::showExportOpenFailure(const QString& message)
{
    m_console.writeError(message);
}

void ConsoleHost::showInvalidVersion(const QString& message)
{
    m_console.writeError(message);
}

void ConsoleHost::showRunRefused(const QString& message)
{
    m_console.writeError(message);
}

void ConsoleHost::documentResult(const DocumentResult& result)
{
    if (m_collect)
        m_report.documents.append(result);
}

void ConsoleHost::rejectedBlocks(const RejectedBlocks& blocks)
{
    if (m_collect)
        m_report.rejected = blocks;
}

void ConsoleHost::runNotice(const QString& text)
{
    m_console.writeError(text);
    if (m_collect)
        m_report.notices.append(text);
}

} // namespace przenosnik
