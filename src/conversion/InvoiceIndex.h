// The invoices already booked in one monthly file, found again by their own
// identity: date, number and party.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QtGlobal>

namespace przenosnik {

// What makes two ledger entries the same invoice, taken from the bytes of a
// 400-byte record (texts as stored, in the ledger's code page): DocDate's four
// bytes and DocNo without blanks with a-z upper-cased, then the ASCII digits
// of PartyNip, then PartyName reduced as the number is.
struct InvoiceIdentity
{
    QByteArray bytes;
    qsizetype keyLength = 0; // date and number
    qsizetype nipLength = 0;

    QByteArrayView key() const { return QByteArrayView(bytes).first(keyLength); }
    QByteArrayView nipDigits() const { return QByteArrayView(bytes).sliced(keyLength, nipLength); }
    QByteArrayView name() const { return QByteArrayView(bytes).sliced(keyLength + nipLength); }
};

InvoiceIdentity invoiceIdentity(QByteArrayView record);

// Kept compact: a month of a busy company holds a hundred thousand entries.
class InvoiceIndex
{
public:
    void add(const InvoiceIdentity& invoice, qint32 position);
    // The lowest position of the same invoice, 0 when there is none. The
    // parties are one by the digits of both tax numbers when both have some,
    // otherwise by name.
    qint32 find(const InvoiceIdentity& invoice) const;
    qsizetype size() const { return m_booked.size(); }

private:
    struct Booked
    {
        quint32 offset; // of its identity in m_identities
        quint8 keyLength;
        quint8 nipLength;
        quint8 nameLength;
        qint32 position;
        qint32 next; // the next one whose key hashes alike, -1 at the end
    };
    QByteArray m_identities; // every booked invoice's identity bytes, one after another
    QList<Booked> m_booked;
    QHash<size_t, qint32> m_firstByKeyHash;
};

} // namespace przenosnik
