#include "conversion/DocumentNotes.h"

#include "encoding/PolishLetterTable.h"

#include <QDate>

namespace przenosnik {

namespace {

// Columns of the letter table: ą to ź, then Ą to Ź; the letters between them
// (ü, ë, ä, ö, ő) are not Polish.
constexpr int LastSmallPolishLetter = 9;
constexpr int FirstCapitalPolishLetter = 15;
constexpr int LastCapitalPolishLetter = 23;

} // namespace

bool isCalendarDate(const LedgerDate& date)
{
    return date.year >= 1 && date.year <= 9999 && QDate::isValid(date.year, date.month, date.day);
}

bool isLedgerCharacter(quint8 byte)
{
    if (byte < 0x80)
        return true;
    const int column = findPolishLetter(byte, PolishEncoding::Windows1250);
    return (column >= 1 && column <= LastSmallPolishLetter) ||
           (column >= FirstCapitalPolishLetter && column <= LastCapitalPolishLetter);
}

QStringList remarkTokens(const DocumentNotes& notes, const LedgerDate& date)
{
    QStringList tokens;
    const auto add = [&tokens](bool noted, const char* token) {
        if (noted)
            tokens.append(QString::fromUtf8(token));
    };
    if (!notes.missingKey.isEmpty())
        tokens.append(QStringLiteral("brak klucza ") + notes.missingKey);
    add(notes.undeterminedKind, "nieokreślony rodzaj");
    add(notes.withoutVat, "bez części VAT");
    add(notes.undeterminedRate, "nieokreślona stawka");
    add(notes.amountError, "błąd kwoty");
    add(notes.dateError, "błąd daty");
    add(!isCalendarDate(date), "data spoza kalendarza");
    add(notes.netDifference, "różnica netto");
    add(notes.vatDifference, "różnica VAT");
    add(notes.cutNumber, "obcięty numer");
    add(notes.cutName, "obcięta nazwa");
    add(notes.cutAddress, "obcięty adres");
    add(notes.cutDescription, "obcięty opis");
    add(notes.foreignCharacters, "znaki spoza strony kodowej");
    return tokens;
}

} // namespace przenosnik
