// The saved report as CSV: one line per document, for Polish spreadsheets.
#pragma once

#include "conversion/RunReport.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

namespace przenosnik {

// The whole report: UTF-8 with a byte-order mark, CR LF line ends, fields separated by ";".
QByteArray csvReport(const RunReport& report);
// The same written to a device line by line; answers false when a write fails.
bool writeCsvReport(QIODevice& device, const RunReport& report);

// An amount as the report writes it: two decimals rounded as printf("%.2f"), a decimal comma,
// no thousands separator, never "-0,00".
QString reportAmount(double value);

// A field quoted with double quotes (inner ones doubled) when it holds ";", a quote, CR or LF.
QString csvField(const QString& text);

// A text cell: as csvField, with an apostrophe in front when the text starts with
// "=", "+", "-", "@", TAB or CR, so that a spreadsheet takes it for text, never
// for a formula.
QString csvTextField(const QString& text);

// The column captions of the report, from "Lp" to "Uwagi".
QStringList reportColumns();
// One document's fields under reportColumns(), unquoted.
QStringList reportRow(const DocumentResult& document);

// A document date as YYYY-MM-DD; empty when all its parts are zero.
QString reportDate(const LedgerDate& date);

} // namespace przenosnik
