// Saving the report of a run in the format its file name asks for.
#pragma once

#include "conversion/RunReport.h"

#include <QString>

namespace przenosnik {

enum class ReportFormat
{
    Unknown,
    Csv, // ".csv"
    Pdf, // ".pdf"
};

// The format by the file's extension, in any letter case.
ReportFormat reportFormat(const QString& path);

// Whether this build can write PDF reports (it needs Qt Gui).
bool pdfReportAvailable();

// Writes the report as CSV or PDF by the file's extension, never over a file of the ledger or of a
// run (see ReportTarget.h), and whole or not at all. Answers false, with a reason
// in Polish in *error when given, when the extension is neither or the file cannot be written.
bool writeReport(const QString& path, const RunReport& report, QString* error);

} // namespace przenosnik
