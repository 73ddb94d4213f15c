#include "ledger/LedgerEntry.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace przenosnik {

LedgerEntry::LedgerEntry() : m_bytes(LedgerEntrySize, '\0') {}

void LedgerEntry::clear()
{
    m_bytes.fill('\0', LedgerEntrySize);
}

qint32 LedgerEntry::int32(const FieldLayout& f) const
{
    Q_ASSERT(f.kind == FieldKind::Int32);
    return qFromLittleEndian<qint32>(at(f));
}

void LedgerEntry::setInt32(const FieldLayout& f, qint32 value)
{
    Q_ASSERT(f.kind == FieldKind::Int32);
    qToLittleEndian<qint32>(value, at(f));
}

qint16 LedgerEntry::int16(const FieldLayout& f) const
{
    Q_ASSERT(f.kind == FieldKind::Int16);
    return qFromLittleEndian<qint16>(at(f));
}

void LedgerEntry::setInt16(const FieldLayout& f, qint16 value)
{
    Q_ASSERT(f.kind == FieldKind::Int16);
    qToLittleEndian<qint16>(value, at(f));
}

quint8 LedgerEntry::byte(const FieldLayout& f) const
{
    Q_ASSERT(f.kind == FieldKind::UInt8 || f.kind == FieldKind::Char);
    return static_cast<quint8>(*at(f));
}

void LedgerEntry::setByte(const FieldLayout& f, quint8 value)
{
    Q_ASSERT(f.kind == FieldKind::UInt8 || f.kind == FieldKind::Char);
    *at(f) = static_cast<char>(value);
}

double LedgerEntry::real(const FieldLayout& f) const
{
    Q_ASSERT(f.kind == FieldKind::Double);
    const quint64 bits = qFromLittleEndian<quint64>(at(f));
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void LedgerEntry::setReal(const FieldLayout& f, double value)
{
    Q_ASSERT(f.kind == FieldKind::Double);
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian<quint64>(bits, at(f));
}

LedgerDate LedgerEntry::date(const FieldLayout& f) const
{
    Q_ASSERT(f.kind == FieldKind::Date);
    const char* p = at(f);
    return {static_cast<quint8>(p[0]), static_cast<quint8>(p[1]), qFromLittleEndian<quint16>(p + 2)};
}

void LedgerEntry::setDate(const FieldLayout& f, LedgerDate value)
{
    Q_ASSERT(f.kind == FieldKind::Date);
    char* p = at(f);
    p[0] = static_cast<char>(value.day);
    p[1] = static_cast<char>(value.month);
    qToLittleEndian<quint16>(value.year, p + 2);
}

QByteArray LedgerEntry::text(const FieldLayout& f) const
{
    return textView(f).toByteArray();
}

QByteArrayView LedgerEntry::textView(const FieldLayout& f) const
{
    Q_ASSERT(f.kind == FieldKind::ShortString);
    const int length = std::min<int>(static_cast<quint8>(*at(f)), capacity(f));
    return QByteArrayView(at(f) + 1, length);
}

void LedgerEntry::setText(const FieldLayout& f, QByteArrayView value)
{
    Q_ASSERT(f.kind == FieldKind::ShortString);
    const int length = static_cast<int>(std::min<qsizetype>(value.size(), capacity(f)));
    char* p = at(f);
    p[0] = static_cast<char>(length);
    if (length > 0)
        std::memcpy(p + 1, value.data(), static_cast<size_t>(length));
}

} // namespace przenosnik
