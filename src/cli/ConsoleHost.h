// The host of a conversion run on a terminal: the trace goes to standard output,
// what the window would show in a message box to standard error.
#pragma once

#include "cli/ConsoleOutput.h"
#include "conversion/RunChecks.h"
#include "conversion/RunConversion.h"
#include "conversion/RunReport.h"

namespace przenosnik {

class ConsoleHost : public ConversionHost
{
public:
    // Keeps the run's results only when collectResults is set: a report or the totals need them.
    explicit ConsoleHost(ConsoleOutput& console, bool collectResults = false)
        : m_console(console), m_collect(collectResults)
    {
    }

    void appendTrace(const QString& line) override;
    QStringList& documentLines() override { return m_document; }
    void setDocumentCount(int count) override { m_documentCount = count; }
    void showExportOpenFailure(const QString& message) override;
    void showInvalidVersion(const QString& message) override;
    void showRunRefused(const QString& message) override;
    void documentResult(DocumentResult result) override;
    bool wantsDocumentResults() const override { return m_collect; }
    void rejectedBlocks(const RejectedBlocks& blocks) override;
    void entryLost(int ordinal) override;
    void entryMoved(int ordinal, int position) override;
    void runNotice(const QString& text) override;

    int documentCount() const { return m_documentCount; }
    // How many documents the run mapped: the highest ordinal it met.
    int mappedDocuments() const { return m_mapped; }
    // The results collected, in run order; the caller fills in the run's own data.
    RunReport& report() { return m_report; }
    // The monthly files the run wrote or would write, and the one it stopped at.
    const RunFileTally& files() const { return m_files; }

private:
    ConsoleOutput& m_console;
    QStringList m_document;
    int m_documentCount = 0;
    int m_mapped = 0;
    bool m_collect;
    RunReport m_report;
    RunFileTally m_files;
};

} // namespace przenosnik
