#include "conversion/LedgerMonths.h"

#include "ledger/LedgerEntry.h"
#include "ledger/MonthRecords.h"

#include <QFileInfo>

#include <utility>

namespace przenosnik {

LedgerMonths::LedgerMonths(const ConversionSettings& settings, const MonthFile& files, TraceSink trace)
    : m_settings(settings), m_files(files), m_trace(std::move(trace))
{
}

LedgerMonths::Month& LedgerMonths::month(quint16 year, quint8 month)
{
    // Months outside 1..12 are told apart from the neighbouring years' months.
    const quint32 key = (quint32(year) << 8) | month;
    auto it = m_months.find(key);
    if (it == m_months.end()) {
        it = m_months.insert(key, Month{});
        load(it.value(), year, month);
    }
    return it.value();
}

LedgerMonths::Month* LedgerMonths::find(const QString& path)
{
    for (Month& month : m_months) {
        if (month.path == path)
            return &month;
    }
    return nullptr;
}

void LedgerMonths::load(Month& month, quint16 year, quint8 monthNumber)
{
    if (m_settings.companyDirectory.isEmpty()) {
        // A dry run without a company directory: no file to look at.
        month.path = monthFileName(year, monthNumber);
        return;
    }
    const MonthFile::Location location = m_files.locate(year, monthNumber);
    month.path = location.path;
    const QFileInfo file(month.path);
    if (!location.usable || !file.exists())
        return;
    if (!m_settings.skipDuplicates) {
        month.existing = file.isFile() ? file.size() / LedgerEntrySize : 0;
        return;
    }
    const qint64 records = ReadWholeRecords(month.path, [&month](QByteArrayView record, qint32 position) {
        month.invoices.add(invoiceIdentity(record), position);
    });
    if (records >= 0) {
        month.existing = records;
        return;
    }
    // Counts as holding nothing. A real run's open then reports the file.
    month.invoices = InvoiceIndex();
    if (m_settings.dryRun && m_trace)
        m_trace(QStringLiteral("Błąd odczytu pliku ") + month.path + QStringLiteral(" !"));
}

} // namespace przenosnik
