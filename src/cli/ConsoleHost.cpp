#include "cli/ConsoleHost.h"

namespace przenosnik {

namespace {
bool isControl(char16_t c, bool keepTabs)
{
    if (c == u'\t')
        return !keepTabs;
    return c <= 0x1F || (c >= 0x7F && c <= 0x9F);
}
} // namespace

QString TerminalText(const QString& text, bool keepTabs)
{
    QString shown = text;
    for (QChar& c : shown) {
        if (isControl(c.unicode(), keepTabs))
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

void WriteLine(std::FILE* stream, const QString& line)
{
    const QByteArray bytes = (TerminalText(line) + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

void ConsoleHost::appendTrace(const QString& line)
{
    WriteLine(m_out, line);
}

void ConsoleHost::showExportOpenFailure(const QString& message)
{
    WriteLine(m_err, message);
}

void ConsoleHost::showInvalidVersion(const QString& message)
{
    WriteLine(m_err, message);
}

void WriteMessageLines(std::FILE* stream, const QString& text)
{
    for (const QString& line : text.split(QLatin1Char('\n')))
        WriteLine(stream, line);
}

void ConsoleHost::showRunRefused(const QString& message)
{
    WriteLine(m_err, message);
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
