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

// Writes the text as UTF-8 followed by one line end, and flushes so that a pipe sees it at once.
// Every CR LF, lone CR or LF inside the text starts a new line.
void WriteLines(std::FILE* stream, const QString& text);

} // namespace przenosnik
