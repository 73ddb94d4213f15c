// Reading the invoice export file: its header, its document blocks, and the
// forward-moving key lookups over the current document. Lines and values are
// the file's Windows-1250 bytes; the keys are ASCII.
#pragma once

#include "ledger/LedgerEntry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

namespace przenosnik {

struct ConversionRun;

// The header line that carries this mark names the exporting program.
inline constexpr QByteArrayView ExporterMark = "SAGE";
// Document lines and values are cut to this many characters.
inline constexpr qsizetype MaxLineLength = 255;
// A block holds at most this many document lines; the lines of a longer
// block (one whose closing line is missing) are passed over.
inline constexpr qsizetype MaxDocumentLines = 10000;

// Reading the file. The line returned is valid until the next read.
QByteArrayView ReadExportLine(ConversionRun& run);
void ReadHeader(ConversionRun& run);
bool ReadNextDocument(ConversionRun& run);

// Lookups on one line; the key may stand anywhere in it. A text value is a
// view into the line.
std::optional<QByteArrayView> LineText(QByteArrayView key, QByteArrayView line);
std::optional<qint32> LineInteger(QByteArrayView key, QByteArrayView line);
// Reports a value that is not an amount into the run's trace.
std::optional<double> LineAmount(ConversionRun& run, QByteArrayView key, QByteArrayView line);
// Reports every part of the date that is not a number into the run's trace.
std::optional<LedgerDate> LineDate(ConversionRun& run, QByteArrayView key, QByteArrayView line);

// Whether a FindText that finds nothing says so in the trace.
enum NotFoundReport
{
    TraceNotFound,
    QuietNotFound, // the caller expects the key to run out
};

// Lookups on the current document, from its line cursor on. A text value is
// a view into the current block.
std::optional<QByteArrayView> FindText(ConversionRun& run, QByteArrayView key,
                                       NotFoundReport report = TraceNotFound);
std::optional<qint32> FindInteger(ConversionRun& run, QByteArrayView key);
std::optional<double> FindAmount(ConversionRun& run, QByteArrayView key);
std::optional<LedgerDate> FindDate(ConversionRun& run, QByteArrayView key);

// The street without its "ul." or "al." prefix, trimmed.
QByteArray StripStreetPrefix(QByteArrayView text);

} // namespace przenosnik
