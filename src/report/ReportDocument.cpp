#include "report/ReportDocument.h"

#include "conversion/CsvReport.h"
#include "conversion/RunTotals.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace przenosnik {

namespace {

// Documents that need the bookkeeper's attention.
bool isRejected(const DocumentResult& document)
{
    return document.state == DocumentState::Skipped || document.state == DocumentState::NotWritten;
}

bool hasProblem(const DocumentResult& document)
{
    return isRejected(document) || document.state == DocumentState::Duplicate || !document.remarks.isEmpty();
}

// Cells wrap only in the columns given; the others keep numbers and words whole.
QString row(const QStringList& cells, const char* tag = "td", const QString& background = {},
            const QList<int>& wrapping = {})
{
    QString html =
        background.isEmpty() ? QStringLiteral("<tr>") : QStringLiteral("<tr bgcolor=\"%1\">").arg(background);
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const bool whole = !wrapping.contains(int(i));
        html += QStringLiteral("<%1%2>%3</%1>")
                    .arg(QLatin1String(tag), whole ? QStringLiteral(" style=\"white-space:nowrap\"") : QString(),
                         cells.at(i).toHtmlEscaped());
    }
    return html + QStringLiteral("</tr>");
}

QString tableStart()
{
    return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\">");
}

QString headerHtml(const RunReport& report)
{
    QString html = QStringLiteral("<h2>Raport konwersji</h2><table cellpadding=\"1\">");
    html += row({QStringLiteral("Plik eksportu:"), report.exportFile});
    html += row({QStringLiteral("Katalog firmy:"), report.companyDirectory});
    html += row({QStringLiteral("Data i godzina:"),
                 report.startedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))});
    html += row({QStringLiteral("Tryb:"),
                 report.dryRun ? QStringLiteral("symulacja (bez zapisu)") : QStringLiteral("zapis do KPR")});
    return html + QStringLiteral("</table>");
}

QStringList amountCells(const QString& file, int kind, const KindTotals& totals)
{
    QStringList cells{file, totalsKindText(kind), QString::number(totals.documents)};
    for (double amount : amountColumns(totals.sums))
        cells.append(reportAmount(amount));
    return cells;
}

// The amount captions of the totals table may wrap, after its three leading columns.
QList<int> amountWrapping()
{
    QList<int> columns;
    for (int column = 3; column < 3 + int(amountCaptions().size()); ++column)
        columns.append(column);
    return columns;
}

QString totalsHtml(const RunTotals& totals)
{
    QString html = QStringLiteral("<h3>Podsumowanie</h3><table cellpadding=\"1\">");
    html += row({QStringLiteral("Bloków w pliku:"), QString::number(totals.blocks)});
    html += row({QStringLiteral("Anulowanych:"), QString::number(totals.cancelled)});
    html += row({QStringLiteral("Innego rodzaju:"), QString::number(totals.otherKinds)});
    html += row({QStringLiteral("Dokumentów przeniesionych:"), QString::number(totals.converted)});
    for (int state = 0; state < DocumentStateCount; ++state)
        html +=
            row({stateText(DocumentState(state)) + QLatin1Char(':'), QString::number(totals.byState[state])});
    html += QStringLiteral("</table><p></p>") + tableStart();
    html += row(QStringList{QStringLiteral("Plik"), QStringLiteral("Rodzaj"), QStringLiteral("Dokumentów")} +
                    amountCaptions(),
                "th", {}, amountWrapping());
    for (const FileTotals& file : totals.files) {
        for (int kind = 0; kind < TotalsKindCount; ++kind) {
            if (file.byKind[kind].documents > 0)
                html += row(amountCells(file.monthFile, kind, file.byKind[kind]), "td", {}, {0});
        }
    }
    for (int kind = 0; kind < TotalsKindCount; ++kind)
        html += row(amountCells(QStringLiteral("Razem"), kind, totals.overall[kind]), "td",
                    QStringLiteral("#e6e6e6"));
    return html + QStringLiteral("</table>");
}

QString documentsHtml(const RunReport& report)
{
    // The columns that fit a landscape page: the amounts as their two totals.
    const QStringList columns = reportColumns();
    const QList<int> shown{0, 1, 2, 3, 4, 5, 17, 18, 19, 20, 21, 22};
    QStringList captions;
    for (int column : shown)
        captions.append(columns.at(column));
    QString html = QStringLiteral("<h3>Dokumenty</h3>") + tableStart() + row(captions, "th", {}, {6, 7});
    for (bool problems : {true, false}) {
        for (const DocumentResult& document : report.documents) {
            if (hasProblem(document) != problems)
                continue;
            const QStringList fields = reportRow(document);
            QStringList cells;
            for (int column : shown)
                cells.append(fields.at(column));
            const QString background = isRejected(document) ? QStringLiteral("#ffc8c8")
                                       : problems           ? QStringLiteral("#fff5b4")
                                                            : QString();
            html += row(cells, "td", background, {1, 4, 8, 11});
        }
    }
    return html + QStringLiteral("</table>");
}

} // namespace

std::unique_ptr<QTextDocument> reportDocument(const RunReport& report)
{
    auto document = std::make_unique<QTextDocument>();
    QFont font = document->defaultFont();
    font.setPointSizeF(7.5);
    font.setStyleStrategy(QFont::PreferNoShaping); // no ligatures: the PDF's text reads as typed
    document->setDefaultFont(font);
    document->setHtml(headerHtml(report) + totalsHtml(computeTotals(report)) + documentsHtml(report));
    return document;
}

bool writePdfReport(const QString& path, const RunReport& report)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("Raport konwersji"));
        writer.setCreator(QStringLiteral("Przenośnik"));
        reportDocument(report)->print(&writer);
    }
    return file.flush() && file.error() == QFileDevice::NoError;
}

} // namespace przenosnik
