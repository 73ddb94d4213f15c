// Reading the invoice export file: its header, its document blocks, and the
// forward-moving key lookups over the current document.
#pragma once

#include "ledger/LedgerEntry.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace przenosnik {

struct ConversionRun;

// The header line that carries this mark names the exporting program.
inline constexpr QStringView ExporterMark = u"SAGE";
// Document lines and values are cut to this many characters.
inline constexpr qsizetype MaxLineLength = 255;
// A block holds at most this many document lines; the lines of a longer
// block (one whose closing line is missing) are passed over.
inline constexpr qsizetype MaxDocumentLines = 10000;

// Reading the file.
QString ReadExportLine(ConversionRun& run);
void ReadHeader(ConversionRun& run);
bool ReadNextDocument(ConversionRun& run);

// Lookups on one line; the key may stand anywhere in it.
struct TextValue
{
    bool found = false;
    QString value;
};
struct IntegerValue
{
    bool ok = false;
    qint32 value = 0;
};
struct AmountValue
{
    bool ok = false;
    double value = 0;
};
struct DateValue
{
    bool found = false;
    LedgerDate value;
};

TextValue LineText(QStringView key, QStringView line);
IntegerValue LineInteger(QStringView key, QStringView line);
// Reports a value that is not an amount into the run's trace.
AmountValue LineAmount(ConversionRun& run, QStringView key, QStringView line);
// Reports every part of the date that is not a number into the run's trace.
DateValue LineDate(ConversionRun& run, QStringView key, QStringView line);

// Lookups on the current document, from its line cursor on.
bool FindText(ConversionRun& run, QStringView key);
bool FindInteger(ConversionRun& run, QStringView key);
bool FindAmount(ConversionRun& run, QStringView key);
bool FindDate(ConversionRun& run, QStringView key);

// The street without its "ul." or "al." prefix, trimmed.
QString StripStreetPrefix(const QString& text);

} // namespace przenosnik
