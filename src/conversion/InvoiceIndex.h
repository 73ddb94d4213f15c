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
// bytes and DocNo with a-z upper-cased and each run of blanks made one blank,
// none at either end ("FV 1 12/2014" and "FV 11 2/2014" stay two numbers),
// then the ASCII digits of PartyNip, then PartyName reduced as the number is.
// Beside it, a fingerprint of the amounts, so that an invoice booked with other
// amounts is told from the same one booked again.
struct InvoiceIdentity
{
    QByteArray bytes;
    qsizetype keyLength = 0; // date and number
    qsizetype nipLength = 0;
    // The net and VAT of every rate group, the other nets and kol[1].W, in grosze.
    quint64 amounts = 0;

    QByteArrayView key() const { return QByteArrayView(bytes).first(keyLength); }
    QByteArrayView nipDigits() const { return QByteArrayView(bytes).sliced(keyLength, nipLength); }
    QByteArrayView name() const { return QByteArrayView(bytes).sliced(keyLength + nipLength); }
};

InvoiceIdentity invoiceIdentity(QByteArrayView record);

// An invoice found booked: its position, and whether it was booked with the same amounts.
struct BookedMatch
{
    qint32 position = 0; // 0 when none was found
    bool sameAmounts = false;
};

// Kept compact: a month of a busy company holds a hundred thousand entries.
class InvoiceIndex
{
public:
    void add(const InvoiceIdentity& invoice, qint32 position);
    // The invoice booked at `from` (the last one added there) stands at `to`.
    void renumber(qint32 from, qint32 to);
    // The same invoice booked before: the lowest position of those with the
    // same amounts, or, when none has them, the lowest position of all. The
    // parties are one by the digits of both tax numbers when both have some,
    // otherwise by name.
    BookedMatch find(const InvoiceIdentity& invoice) const;
    qsizetype size() const { return m_booked.size(); }

private:
    struct Booked
    {
        quint64 amounts;
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
