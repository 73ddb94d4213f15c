#include "report/ReportDocument.h"

#include "conversion/CsvReport.h"
#include "conversion/ExportCompany.h"
#include "conversion/RunTotals.h"
#include "platform/Memory.h"
#include "report/ReportPages.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace przenosnik {

namespace {
const QColor RejectedBackground(0xff, 0xc8, 0xc8);
const QColor RemarkBackground(0xff, 0xf5, 0xb4);
const QColor TotalBackground(0xe6, 0xe6, 0xe6);
const QColor Alarm(0xc0, 0x00, 0x00);

// Documents that need the bookkeeper's attention.
bool isRejected(const DocumentResult& document)
{
    return document.state == DocumentState::Skipped || document.state == DocumentState::NotWritten;
}

bool hasProblem(const DocumentResult& document)
{
    return isRejected(document) || document.state == DocumentState::Duplicate || !document.remarks.isEmpty();
}

QString dateTimeText(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void header(ReportPages& pages, const RunReport& report)
{
    pages.text(reportTitle(report), ReportPages::Style::Title);
    pages.space(1);
    for (const QString& line : companyLines(report.companyName, report.exportCompany))
        pages.text(line, ReportPages::Style::Bold);
    pages.text(QStringLiteral("Plik eksportu: ") + report.exportFile);
    pages.text(QStringLiteral("Katalog firmy: ") + report.companyDirectory);
    pages.text(QStringLiteral("Data i godzina: ") + dateTimeText(report.startedAt));
    pages.text(QStringLiteral("Tryb: ") +
               (report.dryRun ? QStringLiteral("symulacja (bez zapisu)") : QStringLiteral("zapis do KPR")));
    for (const QString& notice : report.notices)
        pages.text(notice);
    if (report.undoneAt.isValid())
        pages.text(QStringLiteral("Konwersja cofnięta %1: jej wpisów nie ma już w KPR.")
                       .arg(dateTimeText(report.undoneAt)),
                   ReportPages::Style::Bold, Alarm);
    if (!report.stopReason.isEmpty()) {
        pages.space(1);
        pages.text(report.stopReason, ReportPages::Style::Bold, Alarm);
    }
    if (!report.dryRunObstacles.isEmpty() || !report.dryRunNewFiles.isEmpty()) {
        pages.space(1);
        pages.text(QStringLiteral("Zapis do KPR:"), ReportPages::Style::Bold);
        for (const QString& obstacle : report.dryRunObstacles)
            pages.text(QStringLiteral("– ") + obstacle, ReportPages::Style::Normal, Alarm);
        for (const QString& file : report.dryRunNewFiles)
            pages.text(QStringLiteral("– ") + file);
    }
    pages.space(2);
}

QStringList amountCells(const QString& caption, const KindTotals& totals)
{
    QStringList cells{caption, QString::number(totals.documents)};
    for (double amount : amountColumns(totals.sums))
        cells.append(reportAmount(amount));
    return cells;
}

void totals(ReportPages& pages, const RunTotals& totals)
{
    pages.heading(QStringLiteral("Podsumowanie"), 20);
    pages.startTable({{QStringLiteral("Bloki i stany"), 3}, {QStringLiteral("Liczba"), 1, true}}, 0.3);
    const QList<std::pair<QString, int>> counts{
        {blocksCaption(totals), totals.blocks},
        {QStringLiteral("Anulowanych"), totals.cancelled},
        {QStringLiteral("Innego rodzaju"), totals.otherKinds},
        {QStringLiteral("Dokumentów przeniesionych"), totals.converted},
    };
    for (const auto& [caption, value] : counts)
        pages.row({caption, QString::number(value)});
    for (int state = 0; state < DocumentStateCount; ++state)
        if (stateListed(totals, state))
            pages.row({stateText(DocumentState(state)), QString::number(totals.byState[state])});
    pages.endTable();

    // Amounts are never cut short: each amount column is as wide as its longest sum needs.
    QStringList widest(amountCaptions().size());
    auto widen = [&widest](const KindTotals& kind) {
        const QList<double> amounts = amountColumns(kind.sums);
        for (qsizetype i = 0; i < amounts.size(); ++i) {
            const QString text = reportAmount(amounts.at(i));
            if (text.size() > widest.at(i).size())
                widest[i] = text;
        }
    };
    for (const FileTotals& file : totals.files)
        for (const KindTotals& kind : file.byKind)
            widen(kind);
    for (const KindTotals& kind : totals.overall)
        widen(kind);
    QList<ReportColumn> columns{
        {QStringLiteral("Rodzaj"), 6, false, false, totalsKindText(UndeterminedTotals)},
        {QStringLiteral("Dokumentów"), 5, true}};
    const QStringList captions = amountCaptions();
    for (qsizetype i = 0; i < captions.size(); ++i)
        columns.append({captions.at(i), 5, true, false, widest.at(i)});
    pages.startTable(columns);
    for (const FileTotals& file : totals.files) {
        pages.spanningRow(QStringLiteral("Plik ") + file.monthFile);
        for (int kind = 0; kind < TotalsKindCount; ++kind) {
            if (file.byKind[kind].documents > 0)
                pages.row(amountCells(totalsKindText(kind), file.byKind[kind]));
        }
    }
    pages.spanningRow(QStringLiteral("Razem"));
    for (int kind = 0; kind < TotalsKindCount; ++kind)
        pages.row(amountCells(totalsKindText(kind), totals.overall[kind]), TotalBackground);
    pages.endTable();
}

// The document table: the columns that fit a landscape page, the amounts as their totals and the gross.
// The report's fields of a document, by their place in reportRow().
constexpr int Lp = 0, Numer = 1, Data = 2, Rodzaj = 3, Kontrahent = 4, Nip = 5, Plik = 19, Pozycja = 20,
              Stan = 21, Uwagi = 22;
constexpr int NettoRazem = -1, VatRazem = -2, Brutto = -3; // amounts of the table's own

struct DocumentColumn
{
    int field;
    ReportColumn column;
};

const QList<DocumentColumn>& documentColumns()
{
    static const QList<DocumentColumn> columns{
        {Lp, {QStringLiteral("Lp"), 3, true}},
        {Numer, {QStringLiteral("Numer"), 9, false, true}},
        {Data, {QStringLiteral("Data"), 6}},
        {Rodzaj, {QStringLiteral("Rodzaj"), 5}},
        {Kontrahent, {QStringLiteral("Kontrahent"), 20, false, true}},
        {Nip, {QStringLiteral("NIP"), 8}},
        {NettoRazem, {QStringLiteral("Netto razem"), 6, true}},
        {VatRazem, {QStringLiteral("VAT razem"), 6, true}},
        {Brutto, {QStringLiteral("Brutto"), 6, true}},
        {Plik, {QStringLiteral("Plik"), 7}},
        {Pozycja, {QStringLiteral("Pozycja"), 4, true}},
        {Stan, {QStringLiteral("Stan"), 6}},
        {Uwagi, {QStringLiteral("Uwagi"), 11, false, true}},
    };
    return columns;
}

void documentTable(ReportPages& pages, QString caption, const QList<const DocumentResult*>& documents)
{
    // A state that every document of the table shares, and remarks that none has, go into the caption:
    // a long table is shorter and quicker to read without them.
    bool oneState = !documents.isEmpty();
    bool remarks = false;
    for (const DocumentResult* document : documents) {
        oneState = oneState && document->state == documents.constFirst()->state;
        remarks = remarks || !document->remarks.isEmpty();
    }
    if (oneState && !remarks)
        caption += QStringLiteral(" – stan: ") + stateText(documents.constFirst()->state);
    // Amounts are never cut short: each amount column is as wide as its longest amount, the sum included.
    double netto = 0, vat = 0;
    double largest[3] = {};
    for (const DocumentResult* document : documents) {
        netto += document->amounts.kolumna;
        vat += document->amounts.vatTotal();
        const double amounts[3] = {document->amounts.kolumna, document->amounts.vatTotal(),
                                   document->amounts.kolumna + document->amounts.vatTotal()};
        for (int i = 0; i < 3; ++i)
            largest[i] = std::max(largest[i], std::abs(amounts[i]));
    }
    const double sums[3] = {netto, vat, netto + vat};
    auto widest = [&](int i) { return reportAmount(-std::max(largest[i], std::abs(sums[i]))); };
    QList<DocumentColumn> shown;
    QList<ReportColumn> columns;
    for (DocumentColumn column : documentColumns()) {
        if ((column.field == Stan && oneState && !remarks) || (column.field == Uwagi && !remarks))
            continue;
        if (column.field == NettoRazem || column.field == VatRazem || column.field == Brutto)
            column.column.widest = widest(-1 - column.field);
        shown.append(column);
        columns.append(column.column);
    }
    pages.heading(caption, 12);
    pages.startTable(columns);
    QStringList cells;
    for (const DocumentResult* document : documents) {
        const QStringList fields = reportRow(*document);
        const double gross = document->amounts.kolumna + document->amounts.vatTotal();
        cells.clear();
        for (const DocumentColumn& column : std::as_const(shown)) {
            switch (column.field) {
            case NettoRazem:
                cells.append(reportAmount(document->amounts.kolumna));
                break;
            case VatRazem:
                cells.append(reportAmount(document->amounts.vatTotal()));
                break;
            case Brutto:
                cells.append(reportAmount(gross));
                break;
            default:
                cells.append(fields.at(column.field));
            }
        }
        const QColor background = isRejected(*document)   ? RejectedBackground
                                  : hasProblem(*document) ? RemarkBackground
                                                          : QColor();
        pages.row(cells, background);
    }
    cells.clear();
    for (const DocumentColumn& column : std::as_const(shown)) {
        cells.append(column.field == Numer        ? QStringLiteral("Razem: %1").arg(documents.size())
                     : column.field == NettoRazem ? reportAmount(netto)
                     : column.field == VatRazem   ? reportAmount(vat)
                     : column.field == Brutto     ? reportAmount(netto + vat)
                                                  : QString());
    }
    pages.row(cells, TotalBackground, true);
    pages.endTable();
}

void documents(ReportPages& pages, const RunReport& report)
{
    QList<const DocumentResult*> problems;
    QList<const DocumentResult*> others;
    for (const DocumentResult& document : report.documents)
        (hasProblem(document) ? problems : others).append(&document);
    if (!problems.isEmpty())
        documentTable(pages, QStringLiteral("Dokumenty z uwagami"), problems);
    if (!others.isEmpty() || problems.isEmpty())
        documentTable(pages, QStringLiteral("Pozostałe dokumenty"), others);
}
} // namespace

QString reportTitle(const RunReport& report)
{
    return report.dryRun ? QStringLiteral("Raport konwersji (symulacja)")
                         : QStringLiteral("Raport konwersji");
}

bool paintReport(QPagedPaintDevice& device, const RunReport& report)
{
    const platform::KeptHeap heap;
    const QString company = report.companyName.isEmpty() ? report.companyDirectory : report.companyName;
    ReportPages pages(device, reportTitle(report),
                      company + QStringLiteral(" · ") + report.exportFile + QStringLiteral(" · ") +
                          dateTimeText(report.startedAt));
    const RunTotals runTotals = computeTotals(report);
    return pages.paint([&](ReportPages& on) {
        header(on, report);
        totals(on, runTotals);
        documents(on, report);
    });
}

bool writePdfReport(const QString& path, const RunReport& report)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    bool painted = false;
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        writer.setTitle(reportTitle(report));
        writer.setCreator(QStringLiteral("Przenośnik"));
        painted = paintReport(writer, report);
    }
    return painted && file.flush() && file.error() == QFileDevice::NoError;
}

} // namespace przenosnik
