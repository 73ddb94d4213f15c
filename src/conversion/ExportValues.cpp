#include "conversion/ExportValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace przenosnik {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isSign(QChar c)
{
    return c == QLatin1Char('+') || c == QLatin1Char('-');
}

// Advances over decimal digits; answers whether there was at least one.
bool skipDigits(QStringView text, qsizetype& i)
{
    const qsizetype start = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i > start;
}

// The power of ten of the first significant digit of a well-formed amount
// that is not zero: 2 for "123.4", -3 for "0.0012", 398 for "1.5e398".
qint64 decimalExponent(QStringView text)
{
    qsizetype i = isSign(text[0]) ? 1 : 0;
    qsizetype wholeEnd = i;
    while (wholeEnd < text.size() && isDigit(text[wholeEnd]))
        ++wholeEnd;
    qint64 power = wholeEnd - i - 1; // of the digit at i
    bool significant = false;
    for (; i < text.size() && (isDigit(text[i]) || text[i] == QLatin1Char('.')); ++i) {
        if (text[i] == QLatin1Char('.'))
            continue;
        if (text[i] != QLatin1Char('0')) {
            significant = true;
            break;
        }
        --power;
    }
    if (!significant)
        return 0;
    while (i < text.size() && text[i] != QLatin1Char('E') && text[i] != QLatin1Char('e'))
        ++i;
    qint64 exponent = 0;
    bool negative = false;
    if (i < text.size()) {
        ++i;
        if (isSign(text[i]))
            negative = text[i++] == QLatin1Char('-');
        for (; i < text.size(); ++i)
            exponent = std::min<qint64>(exponent * 10 + (text[i].unicode() - '0'), 1'000'000'000);
    }
    return power + (negative ? -exponent : exponent);
}

} // namespace

QString TrimControl(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.sliced(begin, end - begin).toString();
}

std::optional<qint32> ParseInteger(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && isSign(text[i])) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    // Accumulated as a negative number so that the lowest value fits too.
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return std::nullopt;
        value = value * 10 + (text[i].unicode() - '0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max() || value < std::numeric_limits<qint32>::min())
        return std::nullopt;
    return static_cast<qint32>(value);
}

std::optional<double> ParseAmount(QStringView text)
{
    qsizetype i = 0;
    if (i < text.size() && isSign(text[i]))
        ++i;
    if (!skipDigits(text, i))
        return std::nullopt;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        if (!skipDigits(text, i))
            return std::nullopt;
    }
    if (i < text.size() && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        ++i;
        if (i < text.size() && isSign(text[i]))
            ++i;
        if (!skipDigits(text, i))
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;

    // Only ASCII is left; from_chars reads it without regard to the locale.
    std::string ascii = text.toLatin1().toStdString();
    if (!ascii.empty() && ascii.front() == '+')
        ascii.erase(0, 1);
    double value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (end != ascii.data() + ascii.size())
        return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        // Too small for a double: the nearest double is a zero of the same
        // sign. Too large: no double holds it, and it is no amount.
        if (decimalExponent(text) < 0)
            return text.startsWith(QLatin1Char('-')) ? -0.0 : 0.0;
        return std::nullopt;
    }
    if (error != std::errc())
        return std::nullopt;
    // No invoice comes near a trillion; a bound far below the range of a
    // double keeps every sum of amounts finite.
    if (!std::isfinite(value) || std::fabs(value) >= MaxAmountMagnitude)
        return std::nullopt;
    return value;
}

qint32 LeadingDigitsValue(QStringView text)
{
    qint64 value = 0;
    for (qsizetype i = 0; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > std::numeric_limits<qint32>::max())
            return std::numeric_limits<qint32>::max();
    }
    return static_cast<qint32>(value);
}

} // namespace przenosnik
