#include "conversion/InvoiceIndex.h"

#include "ledger/LedgerEntry.h"

#include <algorithm>

namespace przenosnik {

namespace {

// The bytes of a short-string field; a length byte beyond the capacity counts as the capacity.
QByteArrayView shortString(QByteArrayView record, const FieldLayout& f)
{
    const qsizetype length =
        std::min<qsizetype>(static_cast<quint8>(record[f.offset]), LedgerEntry::capacity(f));
    return record.sliced(f.offset + 1, length);
}

// Without blanks, ASCII letters upper-cased; other bytes as they stand.
void appendReduced(QByteArray& to, QByteArrayView text)
{
    for (const char c : text) {
        if (c == ' ')
            continue;
        to.append(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
}

} // namespace

InvoiceIdentity invoiceIdentity(QByteArrayView record)
{
    InvoiceIdentity invoice;
    invoice.dateAndNumber.reserve(field::DocDate.width + LedgerEntry::capacity(field::DocNo));
    invoice.dateAndNumber.append(record.sliced(field::DocDate.offset, field::DocDate.width));
    appendReduced(invoice.dateAndNumber, shortString(record, field::DocNo));
    for (const char c : shortString(record, field::PartyNip)) {
        if (c >= '0' && c <= '9')
            invoice.nipDigits.append(c);
    }
    appendReduced(invoice.name, shortString(record, field::PartyName));
    return invoice;
}

void InvoiceIndex::add(const InvoiceIdentity& invoice, qint32 position)
{
    m_booked.insert(invoice.dateAndNumber, Booked{invoice.nipDigits, invoice.name, position});
}

qint32 InvoiceIndex::find(const InvoiceIdentity& invoice) const
{
    qint32 found = 0;
    const auto [first, last] = m_booked.equal_range(invoice.dateAndNumber);
    for (auto it = first; it != last; ++it) {
        const Booked& booked = it.value();
        const bool party = !invoice.nipDigits.isEmpty() && !booked.nipDigits.isEmpty()
                               ? invoice.nipDigits == booked.nipDigits
                               : invoice.name == booked.name;
        if (party && (found == 0 || booked.position < found))
            found = booked.position;
    }
    return found;
}

} // namespace przenosnik
