// The printable report of a run: a header naming the company, the export file
// and the run, the totals, then the documents with their states and remarks,
// those with problems first. Drawn page by page, for the PDF and the printer.
#pragma once

#include "conversion/RunReport.h"

#include <QString>

class QPagedPaintDevice;

namespace przenosnik {

// The title on every page of the report.
QString reportTitle(const RunReport& report);

// Draws the report on the device's pages, in the device's page layout.
// Answers false when the device cannot be painted on.
bool paintReport(QPagedPaintDevice& device, const RunReport& report);

// Writes the report as a PDF, A4 landscape. Answers false when the file cannot be written.
bool writePdfReport(const QString& path, const RunReport& report);

} // namespace przenosnik
