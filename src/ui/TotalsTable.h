// The totals page of the main window: the counts of a run and its sums per
// monthly file and kind, as one table.
#pragma once

#include <QString>

class QTableWidget;

namespace przenosnik {

struct RunReport;
struct RunTotals;

// Fills the table with the totals, one row per count and per file and kind.
void showTotals(QTableWidget* table, const RunTotals& totals);

// One line naming the run: export file, company directory, when, and whether it wrote.
QString runHeader(const RunReport& report);

} // namespace przenosnik
