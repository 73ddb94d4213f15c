// The value forms of the export file: texts, integers, amounts and the digits
// of a date part, parsed strictly.
#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace przenosnik {

// Removes blanks and control characters (everything up to U+0020) from both ends.
QString TrimControl(QStringView text);

// Optional sign and decimal digits that fit a signed 32-bit number; anything
// else (empty text, blanks, other characters, out of range) gives nothing.
std::optional<qint32> ParseInteger(QStringView text);

// Optional sign, digits, optionally a point and fraction digits, optionally an
// exponent (E or e, optional sign, digits). Anything else gives nothing, as
// does a value whose magnitude is MaxAmountMagnitude or more.
std::optional<double> ParseAmount(QStringView text);

inline constexpr double MaxAmountMagnitude = 1e12;

// The value of the decimal digits that stand at the text's start (0 when none).
qint32 LeadingDigitsValue(QStringView text);

} // namespace przenosnik
