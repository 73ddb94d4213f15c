// A KSeF invoice written as the document block the sales program exports for
// the same invoice (template version 3, "SYM 2006" layout with unnumbered
// register keys), so that the one mapping books both alike.
#pragma once

#include "conversion/KsefInvoice.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace przenosnik {

struct KsefDocument
{
    int kind = -1;            // sales or purchase; -1: the company is neither party
    QList<QByteArray> lines;  // the block's document lines, Windows-1250, without their TAB
    double notSubjectNet = 0; // amounts not subject to Polish VAT, signed as the register lines
    QStringList remarks;      // added to the mapping's remarks
    QString skipReason;       // not booked, for this reason; empty when booked
};

// The invoice from the side of the company with this NIP (digits only).
KsefDocument makeKsefDocument(const KsefInvoice& invoice, const QString& companyNip);

// The KSeF number that a file name holds, or an empty text.
QString ksefNumberIn(const QString& fileName);

// The NIP's digits when it is ten digits (dashes and blanks between them allowed), else empty.
QString normalizedNip(const QString& text);

} // namespace przenosnik
