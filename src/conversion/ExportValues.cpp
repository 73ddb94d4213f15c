#include "conversion/ExportValues.h"

#include <charconv>
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
    // A value beyond the range of a double, either way, is no amount.
    if (error != std::errc())
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
