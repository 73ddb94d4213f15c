#include "conversion/TraceFormat.h"

#include <cmath>

namespace przenosnik {

namespace {

// Separators are written as plain blanks: a trace line is read, copied and
// searched as plain text, where a no-break space only gets in the way.
QString plainBlanks(QString text)
{
    text.replace(QChar(0x00A0), QLatin1Char(' '));
    text.replace(QChar(0x202F), QLatin1Char(' '));
    return text;
}

// The digits of |value| with `decimals` places, every group of three whole
// digits separated, as the regional settings of a desktop show amounts
// (so 1 234,50 too, and 1 234 567,89).
QString groupedMagnitude(double value, int decimals, const QLocale& locale)
{
    const QString digits = QString::number(std::fabs(value), 'f', decimals);
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? digits : digits.left(point);
    const QString separator = plainBlanks(locale.groupSeparator());
    QString text;
    text.reserve(digits.size() + digits.size() / 3 + 2);
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            text += separator;
        text += whole.at(i);
    }
    if (point >= 0)
        text += plainBlanks(locale.decimalPoint()) + digits.mid(point + 1);
    return text;
}

// An amount that shows as zero gets no sign, whatever its last bits hold.
bool showsNegative(double value, int decimals)
{
    return value < 0 && std::round(std::fabs(value) * std::pow(10.0, decimals)) > 0;
}

// The number of decimals of the regional currency format (2 for złoty).
int currencyDecimals(const QLocale& locale, const QString& pattern)
{
    for (const int decimals : {3, 2, 0}) {
        if (pattern.contains(locale.toString(1.0, 'f', decimals)))
            return decimals;
    }
    return 2;
}

} // namespace

QLocale TraceLocale()
{
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C)
        return QLocale(QLocale::Polish, QLocale::Poland);
    return system;
}

QString FormatMoney(double amount, const QLocale& locale)
{
    // The regional pattern (symbol and its place) taken from the amount one;
    // the digits are put in with their sign in front, never in parentheses.
    const QString pattern = locale.toCurrencyString(1.0);
    const int decimals = currencyDecimals(locale, pattern);
    const QString one = locale.toString(1.0, 'f', decimals);
    QString text = plainBlanks(pattern);
    const qsizetype at = text.indexOf(plainBlanks(one));
    const QString magnitude = groupedMagnitude(amount, decimals, locale);
    if (at < 0)
        text = magnitude;
    else
        text.replace(at, one.size(), magnitude);
    return showsNegative(amount, decimals) ? locale.negativeSign() + text : text;
}

QString FormatNumber(double value, const QLocale& locale)
{
    const QString text = groupedMagnitude(value, 2, locale);
    return showsNegative(value, 2) ? locale.negativeSign() + text : text;
}

QString FormatPadded(qint64 value, int width)
{
    return QString::number(value).rightJustified(width, QLatin1Char(' '));
}

} // namespace przenosnik
