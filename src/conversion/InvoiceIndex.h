// The invoices already booked in one monthly file, found again by their own
// identity: date, number and party.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QMultiHash>
#include <QtGlobal>

namespace przenosnik {

// What makes two ledger entries the same invoice, taken from the bytes of
// a 400-byte record (texts as stored, in the ledger's code page).
struct InvoiceIdentity
{
    QByteArray dateAndNumber; // DocDate's four bytes, then DocNo without blanks, a-z upper-cased
    QByteArray nipDigits;     // the ASCII digits of PartyNip
    QByteArray name;          // PartyName reduced as the number is
};

InvoiceIdentity invoiceIdentity(QByteArrayView record);

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
        QByteArray nipDigits;
        QByteArray name;
        qint32 position;
    };
    QMultiHash<QByteArray, Booked> m_booked; // by date and number
};

} // namespace przenosnik
