// The host of a conversion run on a terminal: the trace goes to standard output,
// what the window would show in a message box to standard error.
#pragma once

#include "conversion/ConversionRun.h"
#include "conversion/RunReport.h"

#include <cstdio>

namespace przenosnik {

class ConsoleHost : public ConversionHost
{
public:
    // Keeps the run's results only when collectResults is set: a report or the totals need them.
    ConsoleHost(std::FILE* out, std::FILE* err, bool collectResults = false)
        : m_out(out), m_err(err), m_collect(collectResults)
    {
    }

    void appendTrace(const QString& line) override;
    QStringList& documentLines() override { return m_document; }
    void setDocumentCount(int count) override { m_documentCount = count; }
    void showExportOpenFailure(const QString& message) override;
    void showInvalidVersion(const QString& message) override;
    void showRunRefused(const QString& message) override;
    void documentResult(const DocumentResult& result) override;
    void rejectedBlocks(const RejectedBlocks& blocks) override;

    int documentCount() const { return m_documentCount; }
    // The results collected, in run order; the caller fills in the run's own data.
    RunReport& report() { return m_report; }

private:
    std::FILE* m_out;
    std::FILE* m_err;
    QStringList m_document;
    int m_documentCount = 0;
    bool m_collect;
    RunReport m_report;
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
