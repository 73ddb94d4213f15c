// How numbers appear in the trace lines of a run.
#pragma once

#include <QLocale>
#include <QString>

namespace przenosnik {

// The user's regional settings; Polish when the environment names none (C, POSIX).
QLocale traceLocale();

// "%m": money in the regional currency format. A negative amount is written
// with a minus sign in front, never in parentheses.
QString formatMoney(double amount, const QLocale& locale = traceLocale());
// "%n": a number with thousands separators and two decimals.
QString formatNumber(double value, const QLocale& locale = traceLocale());
// "%2d", "%4d": a decimal integer right-aligned in at least that many places.
void appendPadded(QString& line, qint64 value, int width);

// "%m" appended to a line being built.
void appendMoney(QString& line, double amount, const QLocale& locale = traceLocale());

} // namespace przenosnik
