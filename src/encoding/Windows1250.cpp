#include "encoding/Windows1250.h"

#include <array>

namespace przenosnik {

namespace {

// The characters of bytes 80..FF hex. The five bytes the code page leaves
// undefined (81, 83, 88, 90, 98) stand for the C1 controls of the same value,
// so every byte comes back unchanged from a round trip.
constexpr std::array<char16_t, 128> UpperHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, // F8
};

// Byte of every UTF-16 unit from 80 hex upwards; 0 where the code page has none.
// Derived from the table above so the two directions cannot disagree.
class ReverseTable
{
public:
    ReverseTable()
    {
        m_bytes.fill(0);
        for (int i = 0; i < 128; ++i)
            m_bytes[UpperHalf[static_cast<std::size_t>(i)]] = static_cast<quint8>(0x80 + i);
    }
    // Byte of the unit, or -1 when the code page cannot hold it.
    int byteOf(char16_t unit) const
    {
        if (unit < 0x80)
            return unit;
        const quint8 b = m_bytes[unit];
        return b != 0 ? b : -1;
    }

private:
    std::array<quint8, 0x10000> m_bytes;
};

const ReverseTable& reverseTable()
{
    static const ReverseTable table;
    return table;
}

} // namespace

QString decodeWindows1250(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char c : bytes) {
        const auto b = static_cast<quint8>(c);
        *out++ = b < 0x80 ? char16_t(b) : UpperHalf[b - 0x80u];
    }
    return text;
}

QByteArray encodeWindows1250(QStringView text)
{
    const ReverseTable& table = reverseTable();
    QByteArray bytes;
    bytes.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t unit = text[i].unicode();
        // A character outside the basic plane is one character, so one '?'.
        if (QChar::isHighSurrogate(unit) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i;
        const int b = QChar::isSurrogate(unit) ? -1 : table.byteOf(unit);
        bytes.append(b < 0 ? '?' : static_cast<char>(b));
    }
    return bytes;
}

int windows1250Byte(char32_t character)
{
    return character > 0xFFFF ? -1 : reverseTable().byteOf(static_cast<char16_t>(character));
}

bool fitsWindows1250(QStringView text)
{
    const ReverseTable& table = reverseTable();
    for (const QChar c : text) {
        if (c.isSurrogate() || table.byteOf(c.unicode()) < 0)
            return false;
    }
    return true;
}

} // namespace przenosnik
