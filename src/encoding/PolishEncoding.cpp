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
    const PolishLetterRow& letters = PolishLetterTable[static_cast<std::size_t>(row)];
    const int length = letters[0];
    for (int column = 1; column <= length; ++column) {
        if (letters[static_cast<std::size_t>(column)] == byte)
            return column;
    }
    return 0;
}

QByteArray ConvertPolish(QByteArrayView source, PolishEncoding from, PolishEncoding to)
{
    // A short string holds at most 255 characters.
    source = source.first(std::min<qsizetype>(source.size(), MaxShortStringLength));
    QByteArray result(source.data(), source.size());
    if (from == to || !isValid(from) || !isValid(to))
        return result;

    if (to != PolishEncoding::Marks) {
        for (char& c : result) {
            const int column = findPolishLetter(static_cast<quint8>(c), from);
            if (column != 0)
                c = static_cast<char>(polishLetter(to, column));
        }
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
