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
    QByteArray& bytes = invoice.bytes;
    bytes.reserve(field::DocDate.width + LedgerEntry::capacity(field::DocNo) +
                  LedgerEntry::capacity(field::PartyNip) + LedgerEntry::capacity(field::PartyName));
    bytes.append(record.sliced(field::DocDate.offset, field::DocDate.width));
    appendReduced(bytes, shortString(record, field::DocNo));
    invoice.keyLength = bytes.size();
    for (const char c : shortString(record, field::PartyNip)) {
        if (c >= '0' && c <= '9')
            bytes.append(c);
    }
    invoice.nipLength = bytes.size() - invoice.keyLength;
    appendReduced(bytes, shortString(record, field::PartyName));
    return invoice;
}

void InvoiceIndex::add(const InvoiceIdentity& invoice, qint32 position)
{
    const size_t hash = qHash(invoice.key());
    const auto first = m_firstByKeyHash.constFind(hash);
    m_booked.append(Booked{static_cast<quint32>(m_identities.size()), static_cast<quint8>(invoice.keyLength),
                           static_cast<quint8>(invoice.nipLength), static_cast<quint8>(invoice.name().size()),
                           position, first == m_firstByKeyHash.cend() ? -1 : first.value()});
    m_firstByKeyHash.insert(hash, static_cast<qint32>(m_booked.size() - 1));
    m_identities.append(invoice.bytes);
}

qint32 InvoiceIndex::find(const InvoiceIdentity& invoice) const
{
    const auto first = m_firstByKeyHash.constFind(qHash(invoice.key()));
    if (first == m_firstByKeyHash.cend())
        return 0;
    const QByteArrayView nip = invoice.nipDigits();
    qint32 found = 0;
    for (qint32 i = first.value(); i >= 0; i = m_booked.at(i).next) {
        const Booked& booked = m_booked.at(i);
        const QByteArrayView bytes = QByteArrayView(m_identities).sliced(booked.offset);
        if (bytes.first(booked.keyLength) != invoice.key())
            continue;
        const QByteArrayView bookedNip = bytes.sliced(booked.keyLength, booked.nipLength);
        const bool sameParty =
            !nip.isEmpty() && !bookedNip.isEmpty()
                ? nip == bookedNip
                : invoice.name() == bytes.sliced(booked.keyLength + booked.nipLength, booked.nameLength);
        if (sameParty && (found == 0 || booked.position < found))
            found = booked.position;
    }
    return found;
}

} // namespace przenosnik
