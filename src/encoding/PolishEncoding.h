// Polish letters in six 8-bit encodings, converted by one constant table.
// Texts here are the characters of a short string (at most 255 bytes, the
// length byte is implied by the QByteArray's size).
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <array>

namespace przenosnik {

enum class PolishEncoding : quint8
{
    Plain = 0,
    Mazovia = 1,
    Cp852 = 2,
    Marks = 3,
    Iso8859_2 = 4,
    Windows1250 = 5,
};

inline constexpr int MaxShortStringLength = 255;

// A conversion that keeps one byte for one byte (every one but to Marks, whose
// letters take two bytes) as a whole 256-entry table, for texts converted in place.
using PolishByteMap = std::array<quint8, 256>;
bool isByteForByte(PolishEncoding from, PolishEncoding to);
const PolishByteMap& polishByteMapping(PolishEncoding from, PolishEncoding to);

QByteArray ConvertPolish(QByteArrayView source, PolishEncoding from, PolishEncoding to);
QByteArray FromWindows1250(QByteArrayView source, PolishEncoding to);
QByteArray ToWindows1250(QByteArrayView source, PolishEncoding from);
// The text narrowed to at most 255 Windows-1250 characters, then converted.
QByteArray ToLedgerEncoding(const QString& text, PolishEncoding ledgerEncoding);

} // namespace przenosnik
