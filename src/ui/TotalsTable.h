// The totals page of the main window: the counts of a run and its sums per
// monthly file and kind, as one table.
#pragma once

#include <QStringList>

class QTableWidget;

namespace przenosnik {

struct RunReport;
struct RunTotals;

// Fills the table: the header lines, each across the whole table, then one
// row per count and per file and kind.
void showTotals(QTableWidget* table, const QStringList& header, const RunTotals& totals);

// The lines naming the run: export file, company directory, when, and whether it wrote.
QStringList runHeader(const RunReport& report);

} // namespace przenosnik
