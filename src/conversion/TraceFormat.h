// How numbers appear in the trace lines of a run.
#pragma once

#include <QLocale>
#include <QString>

namespace przenosnik {

// The user's regional settings; Polish when the environment names none (C, POSIX).
QLocale TraceLocale();

// "%m": money in the regional currency format. A negative amount is written
// with a minus sign in front, never in parentheses.
QString FormatMoney(double amount, const QLocale& locale = TraceLocale());
// "%n": a number with thousands separators and two decimals.
QString FormatNumber(double value, const QLocale& locale = TraceLocale());
// "%2d", "%4d": a decimal integer right-aligned in at least that many places.
QString FormatPadded(qint64 value, int width);

} // namespace przenosnik
