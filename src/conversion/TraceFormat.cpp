#include "conversion/TraceFormat.h"

#include "platform/UserLocale.h"

#include <array>
#include <charconv>
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

// The separators, signs and currency pattern of one locale, worked out once:
// asking the locale for them costs more than formatting the amount itself.
struct NumberPattern
{
    QString group;
    QString point;
    QString minus;
    QString prefix; // the currency pattern around the digits
    QString suffix;
    int decimals = 2;
    bool hasDigits = true; // the pattern holds the amount's digits at all
};

// The number of decimals of the regional currency format (2 for złoty).
int currencyDecimals(const QLocale& locale, const QString& pattern)
{
    for (const int decimals : {3, 2, 0}) {
        if (pattern.contains(locale.toString(1.0, 'f', decimals)))
            return decimals;
    }
    return 2;
}

NumberPattern makePattern(const QLocale& locale)
{
    NumberPattern pattern;
    pattern.group = plainBlanks(locale.groupSeparator());
    pattern.point = plainBlanks(locale.decimalPoint());
    pattern.minus = locale.negativeSign();
    // The regional pattern (symbol and its place) taken from the amount one.
    const QString currency = locale.toCurrencyString(1.0);
    pattern.decimals = currencyDecimals(locale, currency);
    const QString one = plainBlanks(locale.toString(1.0, 'f', pattern.decimals));
    const QString text = plainBlanks(currency);
    const qsizetype at = text.indexOf(one);
    pattern.hasDigits = at >= 0;
    if (pattern.hasDigits) {
        pattern.prefix = text.left(at);
        pattern.suffix = text.mid(at + one.size());
    }
    return pattern;
}

// The pattern of the locale last asked for, kept for the next amount.
const NumberPattern& patternFor(const QLocale& locale)
{
    thread_local QLocale cachedLocale;
    thread_local NumberPattern cached;
    thread_local bool valid = false;
    if (!valid || cachedLocale != locale) {
        cached = makePattern(locale);
        cachedLocale = locale;
        valid = true;
    }
    return cached;
}

// The digits of |value| with `decimals` places, every group of three whole
// digits separated, as the regional settings of a desktop show amounts
// (so 1 234,50 too, and 1 234 567,89).
// 10 to the power of a number of decimals (the currency's 0 to 3, or 2).
double powerOfTen(int decimals)
{
    constexpr double Powers[] = {1.0, 10.0, 100.0, 1000.0};
    return decimals >= 0 && decimals < 4 ? Powers[decimals] : std::pow(10.0, decimals);
}

// to_chars rounds an exact half to the even digit; the trace has always
// rounded it up (0.125 is 0,13). The double just above such a half rounds up
// and shows the same digits.
double halfRoundsUp(double magnitude, int decimals)
{
    const double scale = 2.0 * powerOfTen(decimals);
    const double scaled = magnitude * scale;
    // An odd whole number of half units, and the product exact.
    const bool oddWhole = scaled < 1e18 && scaled == double(qint64(scaled)) && qint64(scaled) % 2 == 1;
    const bool exactHalf = oddWhole && std::fma(magnitude, scale, -scaled) == 0;
    return exactHalf ? std::nextafter(magnitude, HUGE_VAL) : magnitude;
}

void appendGroupedMagnitude(QString& text, double value, int decimals, const NumberPattern& pattern)
{
    // Every digit exact and the last one rounded, a half upwards.
    std::array<char, 512> buffer;
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), halfRoundsUp(std::fabs(value), decimals),
                      std::chars_format::fixed, decimals);
    const QLatin1StringView digits(buffer.data(), error == std::errc() ? end - buffer.data() : 0);
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const qsizetype whole = point < 0 ? digits.size() : point;
    text.reserve(text.size() + digits.size() + whole / 3 * pattern.group.size() + pattern.point.size());
    for (qsizetype i = 0; i < whole; ++i) {
        if (i > 0 && (whole - i) % 3 == 0)
            text += pattern.group;
        text += digits.at(i);
    }
    if (point >= 0) {
        text += pattern.point;
        text += digits.sliced(point + 1);
    }
}

// An amount that shows as zero gets no sign, whatever its last bits hold.
bool showsNegative(double value, int decimals)
{
    return value < 0 && std::round(std::fabs(value) * powerOfTen(decimals)) > 0;
}

} // namespace

QLocale traceLocale()
{
    // The environment is read once: a run asks for it at every amount.
    static const QLocale locale = userLocale();
    return locale;
}

QString formatMoney(double amount, const QLocale& locale)
{
    QString text;
    appendMoney(text, amount, locale);
    return text;
}

void appendMoney(QString& text, double amount, const QLocale& locale)
{
    // The digits are put into the regional pattern with their sign in front,
    // never in parentheses.
    const NumberPattern& pattern = patternFor(locale);
    if (showsNegative(amount, pattern.decimals))
        text += pattern.minus;
    if (pattern.hasDigits)
        text += pattern.prefix;
    appendGroupedMagnitude(text, amount, pattern.decimals, pattern);
    if (pattern.hasDigits)
        text += pattern.suffix;
}

QString formatNumber(double value, const QLocale& locale)
{
    const NumberPattern& pattern = patternFor(locale);
    QString text;
    if (showsNegative(value, 2))
        text += pattern.minus;
    appendGroupedMagnitude(text, value, 2, pattern);
    return text;
}

void appendPadded(QString& text, qint64 value, int width)
{
    std::array<char, 24> digits;
    const auto [last, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    Q_UNUSED(error); // 24 places hold every qint64
    const qsizetype length = last - digits.data();
    for (qsizetype blanks = width - length; blanks > 0; --blanks)
        text += QLatin1Char(' ');
    text += QLatin1StringView(digits.data(), length);
}

} // namespace przenosnik
