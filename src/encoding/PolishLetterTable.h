// The one constant table behind every Polish code-page conversion: one row per
// encoding (in PolishEncoding order), one column per letter. Each row is a
// length-prefixed string: the length byte 28, then the 28 letters.
#pragma once

#include "encoding/PolishEncoding.h"

#include <array>

namespace przenosnik {

inline constexpr int PolishLetterCount = 28;
inline constexpr int PolishEncodingCount = 6;

using PolishLetterRow = std::array<quint8, 1 + PolishLetterCount>;

// clang-format off
inline constexpr std::array<PolishLetterRow, PolishEncodingCount> PolishLetterTable = {{
//     len   ą    ć    ę    ł    ń    ó    ś    ż    ź    ü    ë    ä    ö    ő    Ą    Ć    Ę    Ł    Ń    Ó    Ś    Ż    Ź    Ü    Ë    Ä    Ö    Ő
    {{ 28,  97,  99, 101, 108, 110, 111, 115, 122, 122, 117, 101,  97, 111, 111,  65,  67,  69,  76,  78,  79,  83,  90,  90,  85,  69,  65,  79,  79 }}, // 0 Plain
    {{ 28, 134, 141, 145, 146, 164, 162, 158, 167, 166, 129, 137, 132, 148, 139, 143, 149, 144, 156, 165, 163, 152, 161, 160, 154, 211, 142, 153, 138 }}, // 1 Mazovia
    {{ 28, 165, 134, 169, 136, 228, 162, 152, 190, 171, 129, 137, 132, 148, 139, 164, 143, 168, 157, 227, 224, 151, 189, 141, 154, 211, 142, 153, 138 }}, // 2 Cp852
    {{ 28,  44,  39,  44,  47,  39,  39,  39,  39,  96,  32,  32,  32,  32,  32,  44,  39,  44,  47,  39,  39,  39,  45,  39,  32,  32,  32,  32,  32 }}, // 3 Marks
    {{ 28, 177, 230, 234, 179, 241, 243, 182, 191, 188, 252, 235, 228, 246, 245, 161, 198, 202, 163, 209, 211, 166, 175, 172, 220, 203, 196, 214, 213 }}, // 4 Iso8859_2
    {{ 28, 185, 230, 234, 179, 241, 243, 156, 191, 159, 252, 235, 228, 246, 245, 165, 198, 202, 163, 209, 211, 140, 175, 143, 220, 203, 196, 214, 213 }}, // 5 Windows1250
}};
// clang-format on

// Column (1..28) of the first occurrence of the byte in the encoding's row,
// searched within the row's length byte; 0 when the row does not hold it.
int findPolishLetter(quint8 byte, PolishEncoding row);

// The byte of the encoding's row at a column 1..28.
constexpr quint8 polishLetter(PolishEncoding row, int column)
{
    return PolishLetterTable[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

} // namespace przenosnik
