#include "conversion/TraceFormat.h"

#include <cmath>

namespace przenosnik {

QLocale TraceLocale()
{
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C)
        return QLocale(QLocale::Polish, QLocale::Poland);
    return system;
}

QString FormatMoney(double amount, const QLocale& locale)
{
    // Formatted without its sign first: some locales put negative amounts in
    // parentheses, which a bookkeeper would not read as a minus.
    const QString magnitude = locale.toCurrencyString(std::fabs(amount));
    // An amount that shows as zero gets no sign, whatever its last bits hold.
    const QString zero = locale.toCurrencyString(0.0);
    if (!(amount < 0) || magnitude == zero)
        return magnitude;
    return locale.negativeSign() + magnitude;
}

QString FormatNumber(double value, const QLocale& locale)
{
    QString text = locale.toString(value, 'f', 2);
    const QString minusZero = locale.negativeSign() + locale.toString(0.0, 'f', 2);
    if (text == minusZero)
        text = locale.toString(0.0, 'f', 2);
    return text;
}

QString FormatPadded(qint64 value, int width)
{
    return QString::number(value).rightJustified(width, QLatin1Char(' '));
}

} // namespace przenosnik
