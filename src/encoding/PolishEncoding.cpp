#include "encoding/PolishEncoding.h"

#include "encoding/PolishLetterTable.h"
#include "encoding/Windows1250.h"

#include <algorithm>

namespace przenosnik {

namespace {

bool isValid(PolishEncoding encoding)
{
    return static_cast<int>(encoding) < PolishEncodingCount;
}

// For every row and byte, the column of the byte's first occurrence in the
// row (0: not a letter of the table), worked out once from the table so that
// a conversion looks a byte up instead of searching the row.
using ColumnIndex = std::array<std::array<quint8, 256>, PolishEncodingCount>;

constexpr ColumnIndex makeColumnIndex()
{
    ColumnIndex index{};
    for (std::size_t row = 0; row < PolishEncodingCount; ++row) {
        const PolishLetterRow& letters = PolishLetterTable[row];
        for (int column = letters[0]; column >= 1; --column)
            index[row][letters[static_cast<std::size_t>(column)]] = static_cast<quint8>(column);
    }
    return index;
}

constexpr ColumnIndex Columns = makeColumnIndex();

using ByteMap = PolishByteMap;

ByteMap makeByteMap(PolishEncoding from, PolishEncoding to)
{
    ByteMap map{};
    for (int byte = 0; byte < 256; ++byte) {
        const int column = Columns[static_cast<std::size_t>(from)][static_cast<std::size_t>(byte)];
        map[static_cast<std::size_t>(byte)] =
            column == 0 ? static_cast<quint8>(byte) : polishLetter(to, column);
    }
    return map;
}

const ByteMap& byteMap(PolishEncoding from, PolishEncoding to)
{
    static const auto maps = [] {
        std::array<std::array<ByteMap, PolishEncodingCount>, PolishEncodingCount> all{};
        for (int f = 0; f < PolishEncodingCount; ++f) {
            for (int t = 0; t < PolishEncodingCount; ++t)
                all[static_cast<std::size_t>(f)][static_cast<std::size_t>(t)] =
                    makeByteMap(static_cast<PolishEncoding>(f), static_cast<PolishEncoding>(t));
        }
        return all;
    }();
    return maps[static_cast<std::size_t>(from)][static_cast<std::size_t>(to)];
}

// The mark and the base letter that stand for a letter in the two-character form.
void appendMarked(QByteArray& result, quint8 byte, PolishEncoding from)
{
    const int column = findPolishLetter(byte, from);
    if (column == 0) {
        result.append(static_cast<char>(byte));
        return;
    }
    result.append(static_cast<char>(polishLetter(PolishEncoding::Marks, column)));
    if (result.size() < MaxShortStringLength)
        result.append(static_cast<char>(polishLetter(PolishEncoding::Plain, column)));
}

} // namespace

int findPolishLetter(quint8 byte, PolishEncoding row)
{
    if (!isValid(row))
        return 0;
    return Columns[static_cast<std::size_t>(row)][byte];
}

bool isByteForByte(PolishEncoding from, PolishEncoding to)
{
    return isValid(from) && isValid(to) &&
           (to != PolishEncoding::Marks || from == to || from == PolishEncoding::Plain);
}

const PolishByteMap& polishByteMapping(PolishEncoding from, PolishEncoding to)
{
    Q_ASSERT(isByteForByte(from, to));
    return byteMap(from, to);
}

QByteArray ConvertPolish(QByteArrayView source, PolishEncoding from, PolishEncoding to)
{
    // A short string holds at most 255 characters.
    source = source.first(std::min<qsizetype>(source.size(), MaxShortStringLength));
    QByteArray result(source.data(), source.size());
    if (from == to || !isValid(from) || !isValid(to))
        return result;

    if (to != PolishEncoding::Marks) {
        const ByteMap& map = byteMap(from, to);
        for (char& c : result)
            c = static_cast<char>(map[static_cast<quint8>(c)]);
        return result;
    }

    // The plain letters have no marks to add.
    if (from == PolishEncoding::Plain)
        return result;
    result.clear();
    result.reserve(MaxShortStringLength);
    for (const char c : source) {
        if (result.size() >= MaxShortStringLength)
            break;
        appendMarked(result, static_cast<quint8>(c), from);
    }
    return result;
}

QByteArray FromWindows1250(QByteArrayView source, PolishEncoding to)
{
    return ConvertPolish(source, PolishEncoding::Windows1250, to);
}

QByteArray ToWindows1250(QByteArrayView source, PolishEncoding from)
{
    return ConvertPolish(source, from, PolishEncoding::Windows1250);
}

QByteArray ToLedgerEncoding(const QString& text, PolishEncoding ledgerEncoding)
{
    // Every character narrows to one byte and takes at most two UTF-16 units, so
    // this prefix always yields the first 255 characters.
    const QStringView head =
        QStringView(text).first(std::min<qsizetype>(text.size(), 2 * MaxShortStringLength));
    QByteArray narrow = encodeWindows1250(head);
    narrow.truncate(MaxShortStringLength);
    return FromWindows1250(narrow, ledgerEncoding);
}

} // namespace przenosnik
