#include "conversion/InvoiceIndex.h"

#include "ledger/LedgerEntry.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace przenosnik {

namespace {

// The bytes of a short-string field; a length byte beyond the capacity counts as the capacity.
QByteArrayView shortString(QByteArrayView record, const FieldLayout& f)
{
    const qsizetype length =
        std::min<qsizetype>(static_cast<quint8>(record[f.offset]), LedgerEntry::capacity(f));
    return record.sliced(f.offset + 1, length);
}

// Each run of blanks made one, none at either end, ASCII letters upper-cased;
// other bytes as they stand.
void appendReduced(QByteArray& to, QByteArrayView text)
{
    bool started = false;
    bool blank = false;
    for (const char c : text) {
        if (c == ' ') {
            blank = true;
            continue;
        }
        if (blank && started)
            to.append(' ');
        started = true;
        blank = false;
        to.append(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
}

// The amounts of a record in whole grosze, mixed into one number (FNV-1a). A
// value that is no amount at all (not finite, or beyond any sum) is taken by its bits.
quint64 amountsFingerprint(QByteArrayView record)
{
    static constexpr const FieldLayout* Amounts[] = {
        &field::Netto1, &field::Vat1, &field::Netto2, &field::Vat2, &field::Netto0,     &field::NettoWolne,
        &field::Netto3, &field::Vat3, &field::Netto4, &field::Vat4, &field::NettoNieop, &field::Kol1W,
    };
    quint64 hash = 14695981039346656037ull;
    for (const FieldLayout* f : Amounts) {
        const quint64 bits = qFromLittleEndian<quint64>(record.data() + f->offset);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        const quint64 grosze = std::isfinite(value) && std::fabs(value) < 1e15
                                   ? static_cast<quint64>(std::llround(value * 100))
                                   : bits;
        for (int shift = 0; shift < 64; shift += 8) {
            hash ^= (grosze >> shift) & 0xFF;
            hash *= 1099511628211ull;
        }
    }
    return hash;
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
    invoice.amounts = amountsFingerprint(record);
    return invoice;
}

void InvoiceIndex::add(const InvoiceIdentity& invoice, qint32 position)
{
    const size_t hash = qHash(invoice.key());
    const auto first = m_firstByKeyHash.constFind(hash);
    m_booked.append(Booked{invoice.amounts, static_cast<quint32>(m_identities.size()),
                           static_cast<quint8>(invoice.keyLength), static_cast<quint8>(invoice.nipLength),
                           static_cast<quint8>(invoice.name().size()), position,
                           first == m_firstByKeyHash.cend() ? -1 : first.value()});
    m_firstByKeyHash.insert(hash, static_cast<qint32>(m_booked.size() - 1));
    m_identities.append(invoice.bytes);
}

void InvoiceIndex::renumber(qint32 from, qint32 to)
{
    // The run's own entries are the last ones added.
    for (auto booked = m_booked.rbegin(); booked != m_booked.rend(); ++booked) {
        if (booked->position == from) {
            booked->position = to;
            return;
        }
    }
}

BookedMatch InvoiceIndex::find(const InvoiceIdentity& invoice) const
{
    BookedMatch match;
    const auto first = m_firstByKeyHash.constFind(qHash(invoice.key()));
    if (first == m_firstByKeyHash.cend())
        return match;
    const QByteArrayView nip = invoice.nipDigits();
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
        if (!sameParty)
            continue;
        const bool sameAmounts = booked.amounts == invoice.amounts;
        // One with the same amounts wins over any without them; then the lowest position.
        if (match.position == 0 || (sameAmounts && !match.sameAmounts) ||
            (sameAmounts == match.sameAmounts && booked.position < match.position)) {
            match.position = booked.position;
            match.sameAmounts = sameAmounts;
        }
    }
    return match;
}

} // namespace przenosnik
