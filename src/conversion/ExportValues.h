// The value forms of the export file: texts, integers, amounts and the digits
// of a date part, parsed strictly. Each works on the file's Windows-1250 bytes
// and on text alike: the forms are ASCII.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace przenosnik {

// Removes blanks and control characters (everything up to U+0020) from both ends.
QString TrimControl(QStringView text);
QByteArrayView TrimControl(QByteArrayView bytes);

// Optional sign and decimal digits that fit a signed 32-bit number; anything
// else (empty text, blanks, other characters, out of range) gives nothing.
std::optional<qint32> ParseInteger(QStringView text);
std::optional<qint32> ParseInteger(QByteArrayView bytes);

// Optional sign, digits, optionally a point and fraction digits, optionally an
// exponent (E or e, optional sign, digits). Anything else gives nothing, as
// does a value whose magnitude is MaxAmountMagnitude or more.
std::optional<double> ParseAmount(QStringView text);
std::optional<double> ParseAmount(QByteArrayView bytes);

inline constexpr double MaxAmountMagnitude = 1e12;

// The value of the decimal digits that stand at the text's start (0 when none).
qint32 LeadingDigitsValue(QStringView text);
qint32 LeadingDigitsValue(QByteArrayView bytes);

} // namespace przenosnik
