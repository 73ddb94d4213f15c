// A conversion run over KSeF invoices: one XML file, or every *.xml file of a folder.
#pragma once

#include "conversion/KsefInvoice.h"
#include "conversion/RunConversion.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace przenosnik {

// Whether the name given as the export file names KSeF invoices: a folder,
// or a file whose name ends in .xml (in any letter case) or whose text
// begins with '<'.
bool isKsefInput(const QString& name);

// The invoice files of the input: the file itself, or the folder's *.xml files in name order.
QStringList ksefFiles(const QString& name);

struct KsefFile
{
    QString path;
    KsefReading reading;
};

// Reads the file, at most MaxKsefInvoiceSize bytes of it.
KsefFile readKsefFile(const QString& path);

// The company's NIP for the run: the one given, else the one NIP that every
// invoice holds as seller or buyer. Empty when there is no such one; the
// run then cannot tell sales from purchases. Runs without an invoice need none.
QString ksefCompanyNip(const QList<KsefFile>& files, const QString& given);

inline constexpr char16_t KsefCompanyUnknownText[] =
    u"Nie wiadomo, która strona faktur to ta firma: podaj NIP firmy.";

// The run of RunConversion when isKsefInput holds for its export file.
RunOutcome RunKsefConversion(const ConversionSettings& settings, ConversionHost& host);

} // namespace przenosnik
