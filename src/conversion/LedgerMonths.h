// What a run knows of each monthly file it needed: where the file is, how many
// records it held when first needed, the entries the run added for it, and,
// when already booked invoices are skipped, the invoices it holds.
#pragma once

#include "conversion/InvoiceIndex.h"
#include "conversion/RunConversion.h"
#include "ledger/MonthFile.h"

#include <QHash>
#include <QString>
#include <QtGlobal>

namespace przenosnik {

class LedgerMonths
{
public:
    struct Month
    {
        QString path;        // as the monthly file's messages write it
        qint64 existing = 0; // whole records in the file when the month was first needed
        qint64 added = 0;    // entries of this run for it (a dry run's would-be entries)
        InvoiceIndex invoices;

        qint32 nextPosition() const { return static_cast<qint32>(existing + added + 1); }
    };

    LedgerMonths(const ConversionSettings& settings, const MonthFile& files, TraceSink trace);

    // The month of that date, its file read (never created) the first time.
    Month& month(quint16 year, quint8 month);
    // The month whose file has that path, if the run needed it.
    Month* find(const QString& path);

private:
    void load(Month& month, quint16 year, quint8 monthNumber);

    const ConversionSettings& m_settings;
    const MonthFile& m_files;
    TraceSink m_trace;
    QHash<quint32, Month> m_months;
};

} // namespace przenosnik
