// The host of a conversion run on a terminal: the trace goes to standard output,
// what the window would show in a message box to standard error.
#pragma once

#include "conversion/ConversionRun.h"

#include <cstdio>

namespace przenosnik {

class ConsoleHost : public ConversionHost
{
public:
    ConsoleHost(std::FILE* out, std::FILE* err) : m_out(out), m_err(err) {}

    void appendTrace(const QString& line) override;
    QStringList& documentLines() override { return m_document; }
    void setDocumentCount(int count) override { m_documentCount = count; }
    void showExportOpenFailure(const QString& message) override;
    void showInvalidVersion(const QString& message) override;
    void showRunRefused(const QString& message) override;

    int documentCount() const { return m_documentCount; }

private:
    std::FILE* m_out;
    std::FILE* m_err;
    QStringList m_document;
    int m_documentCount = 0;
};

// The text with every control character (U+0000..U+001F but TAB, U+007F..U+009F)
// replaced by U+FFFD, so that what a file or a name holds can neither drive the
// terminal nor break a line. With keepTabs false a TAB is replaced too.
QString TerminalText(const QString& text, bool keepTabs = true);

// Writes one trace line or message as UTF-8 followed by one line end, and
// flushes so that a pipe sees it at once. The program's own lines hold no line
// break (the trace gives an empty line a line of its own), so a CR or LF in the
// text came from the data and is written as U+FFFD like any control character.
void WriteLine(std::FILE* stream, const QString& line);
// Writes a message the program built of several lines ('\n' between them),
// each as WriteLine writes one.
void WriteMessageLines(std::FILE* stream, const QString& text);

} // namespace przenosnik
