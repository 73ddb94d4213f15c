#include "ui/TotalsTable.h"

#include "conversion/CsvReport.h"
#include "conversion/RunTotals.h"

#include <QHeaderView>
#include <QTableWidget>

namespace przenosnik {

namespace {
constexpr int PlaceColumn = 0;
constexpr int KindColumn = 1;
constexpr int CountColumn = 2;
constexpr int FirstAmountColumn = 3;

QTableWidgetItem* cell(const QString& text, bool number)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    return item;
}

class Rows
{
public:
    explicit Rows(QTableWidget* table) : m_table(table) {}

    void across(const QString& text)
    {
        const int row = next();
        m_table->setItem(row, PlaceColumn, cell(text, false));
        m_table->setSpan(row, PlaceColumn, 1, m_table->columnCount());
    }

    void count(const QString& caption, int value)
    {
        const int row = next();
        m_table->setItem(row, PlaceColumn, cell(caption, false));
        m_table->setItem(row, CountColumn, cell(QString::number(value), true));
    }

    void kind(const QString& place, int kindIndex, const KindTotals& totals)
    {
        const int row = next();
        m_table->setItem(row, PlaceColumn, cell(place, false));
        m_table->setItem(row, KindColumn, cell(totalsKindText(kindIndex), false));
        m_table->setItem(row, CountColumn, cell(QString::number(totals.documents), true));
        const QList<double> sums = amountColumns(totals.sums);
        for (qsizetype i = 0; i < sums.size(); ++i) {
            m_table->setItem(row, FirstAmountColumn + int(i), cell(reportAmount(sums.at(i)), true));
        }
    }

private:
    int next()
    {
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        return row;
    }

    QTableWidget* m_table;
};
} // namespace

void showTotals(QTableWidget* table, const QStringList& header, const RunTotals& totals)
{
    table->clear();
    table->setRowCount(0);
    const QStringList captions = QStringList{QStringLiteral("Plik miesięczny"), QStringLiteral("Rodzaj"),
                                             QStringLiteral("Dokumenty")} +
                                 amountCaptions();
    table->setColumnCount(int(captions.size()));
    table->setHorizontalHeaderLabels(captions);

    Rows rows(table);
    for (const QString& line : header) {
        rows.across(line);
    }
    rows.count(QStringLiteral("Bloki w pliku"), totals.blocks);
    rows.count(QStringLiteral("anulowane"), totals.cancelled);
    rows.count(QStringLiteral("inne rodzaje"), totals.otherKinds);
    rows.count(QStringLiteral("dokumenty skonwertowane"), totals.converted);
    for (int state = 0; state < DocumentStateCount; ++state) {
        rows.count(stateText(static_cast<DocumentState>(state)), totals.byState[state]);
    }
    for (const FileTotals& file : totals.files) {
        for (int kind = 0; kind < TotalsKindCount; ++kind) {
            if (file.byKind[kind].documents > 0) {
                rows.kind(file.monthFile, kind, file.byKind[kind]);
            }
        }
    }
    for (int kind = 0; kind < TotalsKindCount; ++kind) {
        rows.kind(QStringLiteral("razem"), kind, totals.overall[kind]);
    }
    table->resizeColumnsToContents();
}

QStringList runHeader(const RunReport& report)
{
    return QStringList{
               QStringLiteral("Plik eksportu: ") + report.exportFile,
               QStringLiteral("Katalog KPR: ") + report.companyDirectory,
               QStringLiteral("Konwersja: ") +
                   report.startedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                   (report.dryRun ? QStringLiteral(", symulacja (bez zapisu)")
                                  : QStringLiteral(", z zapisem do KPR")),
           } +
           report.notices;
}

} // namespace przenosnik
