// Values written in ASCII inside a text of any encoding: the export file's
// texts, integers, amounts and date parts, and the settings files' values,
// parsed strictly. Each works on 8-bit bytes and on text alike.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace przenosnik {

// Removes blanks and control characters (everything up to U+0020) from both ends.
QString trimControl(QStringView text);
QByteArrayView trimControl(QByteArrayView bytes);

// Which signs may stand before the digits of an integer.
enum class IntegerSign
{
    PlusOrMinus, // the export file
    MinusOnly,   // the settings files
};

// An optional sign and decimal digits that fit a signed 32-bit number;
// anything else (empty text, blanks, other characters, out of range) gives nothing.
std::optional<qint32> parseInteger(QStringView text, IntegerSign signs = IntegerSign::PlusOrMinus);
std::optional<qint32> parseInteger(QByteArrayView bytes, IntegerSign signs = IntegerSign::PlusOrMinus);

// Optional sign, digits, optionally a point and fraction digits, optionally an
// exponent (E or e, optional sign, digits). Anything else gives nothing, as
// does a value whose magnitude is MaxAmountMagnitude or more.
std::optional<double> parseAmount(QStringView text);
std::optional<double> parseAmount(QByteArrayView bytes);

inline constexpr double MaxAmountMagnitude = 1e12;

// The value of the decimal digits that stand at the text's start (0 when none).
qint32 leadingDigitsValue(QStringView text);
qint32 leadingDigitsValue(QByteArrayView bytes);

} // namespace przenosnik
