// Code-page conversions under arbitrary bytes. The first two bytes choose the
// encodings, the rest is the text (also longer than a short string may be).
#include "FuzzCheck.h"

#include "encoding/PolishEncoding.h"
#include "encoding/PolishLetterTable.h"
#include "encoding/Windows1250.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

using namespace przenosnik;

namespace {

constexpr std::array OneForOne = {PolishEncoding::Mazovia, PolishEncoding::Cp852, PolishEncoding::Iso8859_2,
                                  PolishEncoding::Windows1250};

PolishEncoding encodingOf(std::uint8_t byte)
{
    return static_cast<PolishEncoding>(byte % PolishEncodingCount);
}

// The two-character form built without a length limit; the converter must
// give a prefix of it, cut at 255 characters.
QByteArray fullMarks(const QByteArray& source, PolishEncoding from)
{
    QByteArray expanded;
    for (const char c : source) {
        const int column = findPolishLetter(static_cast<quint8>(c), from);
        if (column == 0) {
            expanded.append(c);
        } else {
            expanded.append(static_cast<char>(polishLetter(PolishEncoding::Marks, column)));
            expanded.append(static_cast<char>(polishLetter(PolishEncoding::Plain, column)));
        }
    }
    return expanded;
}

void checkConversion(const QByteArray& text, PolishEncoding from, PolishEncoding to)
{
    const QByteArray shortText = text.first(std::min<qsizetype>(text.size(), MaxShortStringLength));
    const QByteArray result = ConvertPolish(text, from, to);
    PRZ_FUZZ_CHECK(result.size() <= MaxShortStringLength);

    if (from == to || (to == PolishEncoding::Marks && from == PolishEncoding::Plain)) {
        PRZ_FUZZ_CHECK(result == shortText);
    } else if (to == PolishEncoding::Marks) {
        const QByteArray expanded = fullMarks(shortText, from);
        PRZ_FUZZ_CHECK(result == expanded.first(std::min<qsizetype>(expanded.size(), MaxShortStringLength)));
    } else {
        PRZ_FUZZ_CHECK(result.size() == shortText.size());
        for (qsizetype i = 0; i < shortText.size(); ++i) {
            const auto byte = static_cast<quint8>(shortText[i]);
            const int column = findPolishLetter(byte, from);
            const quint8 expected = column == 0 ? byte : polishLetter(to, column);
            PRZ_FUZZ_CHECK(static_cast<quint8>(result[i]) == expected);
        }
    }
}

// Between two one-for-one encodings and back every table letter returns, and
// so does every byte that neither row holds.
void checkRoundTrip(const QByteArray& text, PolishEncoding a, PolishEncoding b)
{
    const QByteArray shortText = text.first(std::min<qsizetype>(text.size(), MaxShortStringLength));
    const QByteArray back = ConvertPolish(ConvertPolish(shortText, a, b), b, a);
    PRZ_FUZZ_CHECK(back.size() == shortText.size());
    QByteArray letters;
    for (qsizetype i = 0; i < shortText.size(); ++i) {
        const auto byte = static_cast<quint8>(shortText[i]);
        if (findPolishLetter(byte, a) != 0 || findPolishLetter(byte, b) == 0)
            PRZ_FUZZ_CHECK(back[i] == shortText[i]);
        // The same position as a table letter: the column is the byte's remainder.
        letters.append(static_cast<char>(polishLetter(a, 1 + byte % PolishLetterCount)));
    }
    PRZ_FUZZ_CHECK(ConvertPolish(ConvertPolish(letters, a, b), b, a) == letters);
}

void checkWindows1250(const QByteArray& text)
{
    PRZ_FUZZ_CHECK(encodeWindows1250(decodeWindows1250(text)) == text);
    PRZ_FUZZ_CHECK(fitsWindows1250(decodeWindows1250(text)));

    const QByteArray shortText = text.first(std::min<qsizetype>(text.size(), MaxShortStringLength));
    for (const PolishEncoding ledger : {PolishEncoding::Mazovia, PolishEncoding::Cp852}) {
        PRZ_FUZZ_CHECK(ToLedgerEncoding(decodeWindows1250(text), ledger) ==
                       FromWindows1250(shortText, ledger));
        // The same bytes taken as UTF-16 units: any text, also broken surrogates.
        const QString wide(reinterpret_cast<const QChar*>(text.constData()), text.size() / 2);
        const QByteArray narrowed = ToLedgerEncoding(wide, ledger);
        PRZ_FUZZ_CHECK(narrowed.size() <= MaxShortStringLength);
        PRZ_FUZZ_CHECK(narrowed.size() <= wide.size());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const PolishEncoding from = encodingOf(data[0]);
    const PolishEncoding to = encodingOf(data[1]);
    const QByteArray text(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2));

    checkConversion(text, from, to);
    checkRoundTrip(text, OneForOne[data[0] % OneForOne.size()], OneForOne[data[1] % OneForOne.size()]);
    checkWindows1250(text);
    return 0;
}
