// The printable report of a run: a header, the totals, then the documents
// with their states and remarks, the ones with problems first.
#pragma once

#include "conversion/RunReport.h"

#include <QString>
#include <QTextDocument>

#include <memory>

namespace przenosnik {

// The report as a rich-text document, for printing and for the PDF.
std::unique_ptr<QTextDocument> reportDocument(const RunReport& report);

// Writes the report as a PDF, A4 landscape. Answers false when the file cannot be written.
bool writePdfReport(const QString& path, const RunReport& report);

} // namespace przenosnik
