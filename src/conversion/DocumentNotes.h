// What the reader and the mapping noticed about one document, beside their
// trace lines: the makings of the document's remarks.
#pragma once

#include "ledger/LedgerEntry.h"

#include <QString>
#include <QStringList>

namespace przenosnik {

struct DocumentNotes
{
    QString missingKey;            // the first required key not found, as the key table writes it
    bool undeterminedKind = false; // "Nieokreślony typ rejestru !"
    bool withoutVat = false;       // the document has no VAT part
    bool undeterminedRate = false; // a rate outside every group, or a misplaced rate
    bool amountError = false;      // a value that is not an amount
    bool dateError = false;        // a year, month or day that is not a number
    bool netDifference = false;
    bool vatDifference = false;
    bool cutNumber = false;
    bool cutName = false;
    bool cutAddress = false;
    bool cutDescription = false;
    bool foreignCharacters = false; // a character the ledger shows as another one

    // The texts of the document as its trace lines show them.
    QString number;
    QString partyName;
    QString nip;
    QString address;

    void noteMissing(const char* key)
    {
        if (missingKey.isEmpty())
            missingKey = QString::fromUtf8(key);
    }
};

// The remark tokens of a document in their fixed order; the date is its DocDate.
QStringList remarkTokens(const DocumentNotes& notes, const LedgerDate& date);

// Whether the date is a day of the calendar (years 1 to 9999).
bool isCalendarDate(const LedgerDate& date);

// Whether a Windows-1250 byte is ASCII or one of the 18 Polish letters that
// every ledger code page holds.
bool isLedgerCharacter(quint8 byte);

} // namespace przenosnik
