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

void ConsoleHost::documentResult(DocumentResult result)
{
    ++m_mapped;
    m_files.add(result);
    if (m_collect)
        m_report.documents.append(std::move(result));
}

void ConsoleHost::entryLost(int ordinal)
{
    if (DocumentResult* result = resultOfDocument(m_report.documents, ordinal))
        markLost(*result);
}

void ConsoleHost::entryMoved(int ordinal, int position)
{
    if (DocumentResult* result = resultOfDocument(m_report.documents, ordinal))
        result->position = position;
}

void ConsoleHost::rejectedBlocks(const RejectedBlocks& blocks)
{
    // The trace has no line for them: which files were passed over, and why.
    for (const RejectedFile& file : blocks.files)
        m_console.writeError(QStringLiteral("Pominięty plik %1: %2").arg(file.name, file.remark));
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
