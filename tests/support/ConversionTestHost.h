// A run host that records everything a conversion reports, and helpers that
// write export files as the exporting program does (Windows-1250, CR LF).
#pragma once

#include "conversion/RunConversion.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace przenosnik::test {

class RecordingHost : public ConversionHost
{
public:
    void appendTrace(const QString& line) override { trace.append(line); }
    QStringList& documentLines() override { return document; }
    void setDocumentCount(int count) override { documentCount = count; }
    void showExportOpenFailure(const QString& message) override { exportFailures.append(message); }
    void showInvalidVersion(const QString& message) override { versionFailures.append(message); }
    void showRunRefused(const QString& message) override { refusals.append(message); }
    void documentResult(DocumentResult result) override { results.append(std::move(result)); }
    void entryLost(int ordinal) override
    {
        if (DocumentResult* result = resultOfDocument(results, ordinal))
            markLost(*result);
    }
    void entryMoved(int ordinal, int position) override
    {
        if (DocumentResult* result = resultOfDocument(results, ordinal))
            result->position = position;
    }
    void rejectedBlocks(const RejectedBlocks& blocks) override { rejected.append(blocks); }
    void rejectedBlock(const RejectedBlock& block) override { rejectedRows.append(block); }
    void runNotice(const QString& text) override { notices.append(text); }

    QStringList trace;
    QStringList document;
    int documentCount = -1;
    QStringList exportFailures;
    QStringList versionFailures;
    QStringList refusals;
    QList<DocumentResult> results;
    QList<RejectedBlocks> rejected; // one per run that read the export
    QList<RejectedBlock> rejectedRows;
    QStringList notices;
};

// Windows-1250 bytes of the text, every "\n" written as CR LF.
QByteArray exportBytes(const QString& text);

// The fields of one invoice for the document blocks below.
struct Invoice
{
    QString kind = QStringLiteral("sprzedaży");
    QString number = QStringLiteral("FV 1/03/2014");
    QString date = QStringLiteral("2014-03-12");
    QString saleDate = QStringLiteral("2014-03-11");
    QString description = QStringLiteral("Sprzedaż towarów");
    QString name = QStringLiteral("Zakład Usługowy \"Żuraw\"");
    QString street = QStringLiteral("ul. Długa");
    QString house = QStringLiteral("5");
    QString flat = QStringLiteral("3");
    QString town = QStringLiteral("Kraków");
    QString postalCode = QStringLiteral("30-001");
    QString nip = QStringLiteral("677-001-02-03");
    QString dueDate = QStringLiteral("2014-03-26");
    QString net = QStringLiteral("100.00");
    QString vat = QStringLiteral("23.00");
    QString vatRegisterType = QStringLiteral("1");
    int cancelled = 0;
};

// One "Dokument{" block: the header lines of the invoice followed by the
// register lines given (each starting with its own TAB, as the file holds it).
QString documentBlock(const Invoice& invoice, const QString& registerPart);
// A register block of the newer layout with unnumbered or numbered keys.
QString registerBlock(const QString& rate, const QString& net, const QString& vat, bool numbered = false);
// The header of an export file of the given template version.
QString exportHeader(const QString& version = QStringLiteral("3"));

} // namespace przenosnik::test

namespace przenosnik::test {

// Money as the trace shows it in Polish: "1 234,50 zł" with no-break spaces.
QString zl(const QString& amount);

} // namespace przenosnik::test
