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

// Writes the text as UTF-8 followed by one line end, and flushes so that a pipe sees it at once.
// Every CR LF, lone CR or LF inside the text starts a new line.
void WriteLines(std::FILE* stream, const QString& text);

} // namespace przenosnik
