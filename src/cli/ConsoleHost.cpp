#include "cli/ConsoleHost.h"

namespace przenosnik {

void WriteLines(std::FILE* stream, const QString& text)
{
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    normalised.append(QLatin1Char('\n'));
    const QByteArray bytes = normalised.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

void ConsoleHost::appendTrace(const QString& line)
{
    WriteLines(m_out, line);
}

void ConsoleHost::showExportOpenFailure(const QString& message)
{
    WriteLines(m_err, message);
}

void ConsoleHost::showInvalidVersion(const QString& message)
{
    WriteLines(m_err, message);
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

} // namespace przenosnik
