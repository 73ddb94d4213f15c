#include "encoding/AsciiValues.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace przenosnik {

namespace {

// One implementation for bytes and for text: a character is looked at only
// through its code.
char32_t codeOf(QChar c)
{
    return c.unicode();
}
char32_t codeOf(char c)
{
    return static_cast<unsigned char>(c);
}

template <typename View> bool isDigitAt(View text, qsizetype i)
{
    return codeOf(text[i]) >= '0' && codeOf(text[i]) <= '9';
}

template <typename View> bool isSignAt(View text, qsizetype i)
{
    return codeOf(text[i]) == '+' || codeOf(text[i]) == '-';
}

template <typename View> bool isAt(View text, qsizetype i, char32_t c)
{
    return i < text.size() && codeOf(text[i]) == c;
}

template <typename View> bool isExponentAt(View text, qsizetype i)
{
    return isAt(text, i, 'E') || isAt(text, i, 'e');
}

// Advances over decimal digits; answers whether there was at least one.
template <typename View> bool skipDigits(View text, qsizetype& i)
{
    const qsizetype start = i;
    while (i < text.size() && isDigitAt(text, i))
        ++i;
    return i > start;
}

template <typename View> qsizetype trimmedBegin(View text)
{
    qsizetype begin = 0;
    while (begin < text.size() && codeOf(text[begin]) <= 0x20)
        ++begin;
    return begin;
}

template <typename View> qsizetype trimmedEnd(View text, qsizetype begin)
{
    qsizetype end = text.size();
    while (end > begin && codeOf(text[end - 1]) <= 0x20)
        --end;
    return end;
}

// The power of ten of the first significant digit of a well-formed amount
// that is not zero: 2 for "123.4", -3 for "0.0012", 398 for "1.5e398".
template <typename View> qint64 decimalExponent(View text)
{
    qsizetype i = isSignAt(text, 0) ? 1 : 0;
    qsizetype wholeEnd = i;
    while (wholeEnd < text.size() && isDigitAt(text, wholeEnd))
        ++wholeEnd;
    qint64 power = wholeEnd - i - 1; // of the digit at i
    bool significant = false;
    for (; i < text.size() && (isDigitAt(text, i) || isAt(text, i, '.')); ++i) {
        if (isAt(text, i, '.'))
            continue;
        if (codeOf(text[i]) != '0') {
            significant = true;
            break;
        }
        --power;
    }
    if (!significant)
        return 0;
    while (i < text.size() && !isExponentAt(text, i))
        ++i;
    qint64 exponent = 0;
    bool negative = false;
    if (i < text.size()) {
        ++i;
        if (isSignAt(text, i))
            negative = codeOf(text[i++]) == '-';
        for (; i < text.size(); ++i)
            exponent = std::min<qint64>(exponent * 10 + (codeOf(text[i]) - '0'), 1'000'000'000);
    }
    return power + (negative ? -exponent : exponent);
}

template <typename View> std::optional<qint32> integerOf(View text, IntegerSign signs)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && isSignAt(text, i) &&
        (signs == IntegerSign::PlusOrMinus || codeOf(text[i]) == '-')) {
        negative = codeOf(text[i]) == '-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        if (!isDigitAt(text, i))
            return std::nullopt;
        value = value * 10 + (codeOf(text[i]) - '0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max() || value < std::numeric_limits<qint32>::min())
        return std::nullopt;
    return static_cast<qint32>(value);
}

// Whether the whole text has the form of an amount.
template <typename View> bool isAmountForm(View text)
{
    qsizetype i = 0;
    if (i < text.size() && isSignAt(text, i))
        ++i;
    if (!skipDigits(text, i))
        return false;
    if (isAt(text, i, '.')) {
        ++i;
        if (!skipDigits(text, i))
            return false;
    }
    if (isExponentAt(text, i)) {
        ++i;
        if (i < text.size() && isSignAt(text, i))
            ++i;
        if (!skipDigits(text, i))
            return false;
    }
    return i == text.size();
}

template <typename View> std::optional<double> amountOf(View text)
{
    if (!isAmountForm(text))
        return std::nullopt;
    // Only ASCII is left; from_chars reads it without regard to the locale.
    // An amount longer than the buffer is not cut: it is read from a copy.
    std::array<char, 128> buffer{};
    std::string longer;
    const qsizetype skip = isAt(text, 0, '+') ? 1 : 0;
    const qsizetype length = text.size() - skip;
    char* ascii = buffer.data();
    if (length > qsizetype(buffer.size())) {
        longer.resize(size_t(length));
        ascii = longer.data();
    }
    for (qsizetype i = 0; i < length; ++i)
        ascii[i] = static_cast<char>(codeOf(text[skip + i]));
    double value = 0;
    const auto [end, error] = std::from_chars(ascii, ascii + length, value);
    if (end != ascii + length)
        return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        // Too small for a double: the nearest double is a zero of the same
        // sign. Too large: no double holds it, and it is no amount.
        if (decimalExponent(text) < 0)
            return isAt(text, 0, '-') ? -0.0 : 0.0;
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

template <typename View> qint32 leadingDigitsOf(View text)
{
    qint64 value = 0;
    for (qsizetype i = 0; i < text.size() && isDigitAt(text, i); ++i) {
        value = value * 10 + (codeOf(text[i]) - '0');
        if (value > std::numeric_limits<qint32>::max())
            return std::numeric_limits<qint32>::max();
    }
    return static_cast<qint32>(value);
}

} // namespace

QString trimControl(QStringView text)
{
    const qsizetype begin = trimmedBegin(text);
    return text.sliced(begin, trimmedEnd(text, begin) - begin).toString();
}

QByteArrayView trimControl(QByteArrayView bytes)
{
    const qsizetype begin = trimmedBegin(bytes);
    return bytes.sliced(begin, trimmedEnd(bytes, begin) - begin);
}

std::optional<qint32> parseInteger(QStringView text, IntegerSign signs)
{
    return integerOf(text, signs);
}

std::optional<qint32> parseInteger(QByteArrayView bytes, IntegerSign signs)
{
    return integerOf(bytes, signs);
}

std::optional<double> parseAmount(QStringView text)
{
    return amountOf(text);
}

std::optional<double> parseAmount(QByteArrayView bytes)
{
    return amountOf(bytes);
}

qint32 leadingDigitsValue(QStringView text)
{
    return leadingDigitsOf(text);
}

qint32 leadingDigitsValue(QByteArrayView bytes)
{
    return leadingDigitsOf(bytes);
}

} // namespace przenosnik
