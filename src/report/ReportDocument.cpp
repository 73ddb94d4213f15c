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

// One table row. layout holds a letter per cell: 'w' may wrap, 'n' stays whole, 'r' stays whole
// on the right (amounts and counts); cells past its end stay whole. widths, when given, are the
// columns' shares of the page in percent.
QString row(const QStringList& cells, QLatin1String layout = {}, const char* tag = "td",
            const QString& background = {}, const QList<int>& widths = {})
{
    QString html =
        background.isEmpty() ? QStringLiteral("<tr>") : QStringLiteral("<tr bgcolor=\"%1\">").arg(background);
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const char how = i < layout.size() ? layout.at(i).toLatin1() : 'n';
        QString attributes;
        if (how == 'r')
            attributes += QStringLiteral(" align=\"right\"");
        if (i < widths.size())
            attributes += QStringLiteral(" width=\"%1%\"").arg(widths.at(i));
        if (how != 'w')
            attributes += QStringLiteral(" style=\"white-space:nowrap\"");
        html +=
            QStringLiteral("<%1%2>%3</%1>").arg(QLatin1String(tag), attributes, cells.at(i).toHtmlEscaped());
    }
    return html + QStringLiteral("</tr>");
}

QString spanningRow(const QString& text, int columns)
{
    return QStringLiteral("<tr><td colspan=\"%1\"><b>%2</b></td></tr>")
        .arg(columns)
        .arg(text.toHtmlEscaped());
}

QString tableStart(const QString& header)
{
    return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\"><thead>") +
           header + QStringLiteral("</thead>");
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

// The amounts table: the kind, the number of documents and the thirteen sums.
constexpr QLatin1String AmountLayout("nrrrrrrrrrrrrrr");

QStringList amountCells(const QString& caption, const KindTotals& totals)
{
    QStringList cells{caption, QString::number(totals.documents)};
    for (double amount : amountColumns(totals.sums))
        cells.append(reportAmount(amount));
    return cells;
}

QString totalsHtml(const RunTotals& totals)
{
    QString html = QStringLiteral("<h3>Podsumowanie</h3><table cellpadding=\"1\">");
    const QStringList counts{QStringLiteral("Bloków w pliku:"), QStringLiteral("Anulowanych:"),
                             QStringLiteral("Innego rodzaju:"), QStringLiteral("Dokumentów przeniesionych:")};
    const int values[] = {totals.blocks, totals.cancelled, totals.otherKinds, totals.converted};
    for (qsizetype i = 0; i < counts.size(); ++i)
        html += row({counts.at(i), QString::number(values[i])}, QLatin1String("nr"));
    for (int state = 0; state < DocumentStateCount; ++state)
        if (stateListed(totals, state))
            html += row(
                {stateText(DocumentState(state)) + QLatin1Char(':'), QString::number(totals.byState[state])},
                QLatin1String("nr"));
    html += QStringLiteral("</table><p></p>");

    const QStringList captions =
        QStringList{QStringLiteral("Rodzaj"), QStringLiteral("Dokumentów")} + amountCaptions();
    const int columns = int(captions.size());
    html += tableStart(row(captions, QLatin1String("nnwwwwwwwwwwwww"), "th"));
    for (const FileTotals& file : totals.files) {
        html += spanningRow(QStringLiteral("Plik ") + file.monthFile, columns);
        for (int kind = 0; kind < TotalsKindCount; ++kind) {
            if (file.byKind[kind].documents > 0)
                html += row(amountCells(totalsKindText(kind), file.byKind[kind]), AmountLayout);
        }
    }
    html += spanningRow(QStringLiteral("Razem"), columns);
    for (int kind = 0; kind < TotalsKindCount; ++kind)
        html += row(amountCells(totalsKindText(kind), totals.overall[kind]), AmountLayout, "td",
                    QStringLiteral("#e6e6e6"));
    return html + QStringLiteral("</table>");
}

QString documentsHtml(const RunReport& report)
{
    // The columns that fit a landscape page: the amounts as their two totals.
    const QStringList columns = reportColumns();
    const QList<int> shown{0, 1, 2, 3, 4, 5, 17, 18, 19, 20, 21, 22};
    const QLatin1String layout("rwnnwnrrnrnw");
    QStringList captions;
    for (int column : shown)
        captions.append(columns.at(column));
    const QString header = tableStart(
        row(captions, QLatin1String("wwwwwwwwwwww"), "th", {}, {3, 9, 6, 6, 22, 8, 7, 7, 7, 5, 6, 14}));
    QString html = QStringLiteral("<h3>Dokumenty</h3>") + header;
    // Laying out a table costs more than its rows' share, so a long list is a run of shorter tables.
    constexpr int RowsPerTable = 200;
    int rows = 0;
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
            if (rows > 0 && rows % RowsPerTable == 0)
                html += QStringLiteral("</table>") + header;
            html += row(cells, layout, "td", background);
            ++rows;
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
