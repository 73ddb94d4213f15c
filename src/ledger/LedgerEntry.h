// One entry of a monthly ledger file: a packed 400-byte record.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <string_view>

namespace przenosnik {

// Day, month and year of a ledger date; all zero means "no date".
struct LedgerDate
{
    quint8 day = 0;
    quint8 month = 0;
    quint16 year = 0;
    friend bool operator==(const LedgerDate&, const LedgerDate&) = default;
};

enum class FieldKind
{
    Reserved,
    Int32,
    Int16,
    UInt8,
    Char,
    Date,
    Double,
    ShortString
};

struct FieldLayout
{
    std::string_view name;
    int offset;
    int width; // bytes on disk; a short string's width includes its length byte
    FieldKind kind;
};

// The record, field after field. Every offset and width of the format lives here.
namespace field {
// clang-format off
//                                   name            offset width kind
inline constexpr FieldLayout EntryNo      {"EntryNo",         0,   4, FieldKind::Int32};
inline constexpr FieldLayout Reserved4    {"",                4,   6, FieldKind::Reserved};
inline constexpr FieldLayout DocDateA     {"DocDateA",       10,   4, FieldKind::Date};
inline constexpr FieldLayout DocDateB     {"DocDateB",       14,   4, FieldKind::Date};
inline constexpr FieldLayout DocDate      {"DocDate",        18,   4, FieldKind::Date};
inline constexpr FieldLayout SaleDate     {"SaleDate",       22,   4, FieldKind::Date};
inline constexpr FieldLayout Reserved26   {"",               26,   6, FieldKind::Reserved};
inline constexpr FieldLayout DocNo        {"DocNo",          32,  23, FieldKind::ShortString};
inline constexpr FieldLayout PartyNip     {"PartyNip",       55,  19, FieldKind::ShortString};
inline constexpr FieldLayout PartyName    {"PartyName",      74,  37, FieldKind::ShortString};
inline constexpr FieldLayout PartyAddress {"PartyAddress",  111,  37, FieldKind::ShortString};
inline constexpr FieldLayout Description  {"Description",   148,  37, FieldKind::ShortString};
inline constexpr FieldLayout Reserved185  {"",              185,  21, FieldKind::Reserved};
inline constexpr FieldLayout DueDate      {"DueDate",       206,   4, FieldKind::Date};
inline constexpr FieldLayout Reserved210  {"",              210,  13, FieldKind::Reserved};
inline constexpr FieldLayout SpareText    {"SpareText",     223,  13, FieldKind::ShortString};
inline constexpr FieldLayout Attribute    {"Attribute",     236,   1, FieldKind::Char};
inline constexpr FieldLayout EntryKind    {"EntryKind",     237,   1, FieldKind::UInt8};
inline constexpr FieldLayout Reserved238  {"",              238,   4, FieldKind::Reserved};
inline constexpr FieldLayout RegisterKind {"RegisterKind",  242,   1, FieldKind::UInt8};
inline constexpr FieldLayout Reserved243  {"",              243,   2, FieldKind::Reserved};
inline constexpr FieldLayout RegisterId   {"RegisterId",    245,   1, FieldKind::Char};
inline constexpr FieldLayout Reserved246  {"",              246,   2, FieldKind::Reserved};
inline constexpr FieldLayout Netto1       {"Netto1",        248,   8, FieldKind::Double};
inline constexpr FieldLayout Vat1         {"Vat1",          256,   8, FieldKind::Double};
inline constexpr FieldLayout Netto2       {"Netto2",        264,   8, FieldKind::Double};
inline constexpr FieldLayout Vat2         {"Vat2",          272,   8, FieldKind::Double};
inline constexpr FieldLayout Netto0       {"Netto0",        280,   8, FieldKind::Double};
inline constexpr FieldLayout NettoWolne   {"NettoWolne",    288,   8, FieldKind::Double};
inline constexpr FieldLayout Netto3       {"Netto3",        296,   8, FieldKind::Double};
inline constexpr FieldLayout Vat3         {"Vat3",          304,   8, FieldKind::Double};
inline constexpr FieldLayout Netto4       {"Netto4",        312,   8, FieldKind::Double};
inline constexpr FieldLayout Vat4         {"Vat4",          320,   8, FieldKind::Double};
inline constexpr FieldLayout NettoNieop   {"NettoNieop",    328,   8, FieldKind::Double};
inline constexpr FieldLayout Reserved336  {"",              336,  16, FieldKind::Reserved};
inline constexpr FieldLayout Stawka1      {"Stawka1",       352,   2, FieldKind::Int16};
inline constexpr FieldLayout Stawka2      {"Stawka2",       354,   2, FieldKind::Int16};
inline constexpr FieldLayout Stawka3      {"Stawka3",       356,   2, FieldKind::Int16};
inline constexpr FieldLayout Reserved358  {"",              358,   9, FieldKind::Reserved};
inline constexpr FieldLayout RecordVariant{"RecordVariant", 367,   1, FieldKind::UInt8};
inline constexpr FieldLayout Kol1Nr       {"kol[1].Nr",     368,   1, FieldKind::UInt8};
inline constexpr FieldLayout Kol1W        {"kol[1].W",      369,   8, FieldKind::Double};
inline constexpr FieldLayout Kol2Nr       {"kol[2].Nr",     377,   1, FieldKind::UInt8};
inline constexpr FieldLayout Kol2W        {"kol[2].W",      378,   8, FieldKind::Double};
inline constexpr FieldLayout Reserved386  {"",              386,  14, FieldKind::Reserved};
// clang-format on
} // namespace field

inline constexpr int LedgerEntrySize = 400;

inline constexpr std::array LedgerEntryLayout = {
    field::EntryNo,      field::Reserved4,   field::DocDateA,    field::DocDateB,    field::DocDate,
    field::SaleDate,     field::Reserved26,  field::DocNo,       field::PartyNip,    field::PartyName,
    field::PartyAddress, field::Description, field::Reserved185, field::DueDate,     field::Reserved210,
    field::SpareText,    field::Attribute,   field::EntryKind,   field::Reserved238, field::RegisterKind,
    field::Reserved243,  field::RegisterId,  field::Reserved246, field::Netto1,      field::Vat1,
    field::Netto2,       field::Vat2,        field::Netto0,      field::NettoWolne,  field::Netto3,
    field::Vat3,         field::Netto4,      field::Vat4,        field::NettoNieop,  field::Reserved336,
    field::Stawka1,      field::Stawka2,     field::Stawka3,     field::Reserved358, field::RecordVariant,
    field::Kol1Nr,       field::Kol1W,       field::Kol2Nr,      field::Kol2W,       field::Reserved386,
};

constexpr int naturalWidth(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Int32:
    case FieldKind::Date:
        return 4;
    case FieldKind::Int16:
        return 2;
    case FieldKind::UInt8:
    case FieldKind::Char:
        return 1;
    case FieldKind::Double:
        return 8;
    case FieldKind::Reserved:
    case FieldKind::ShortString:
        return -1;
    }
    return -1;
}

// The fields follow each other without gaps or overlaps and fill exactly 400 bytes.
constexpr bool layoutIsContiguous()
{
    int next = 0;
    for (const FieldLayout& f : LedgerEntryLayout) {
        if (f.offset != next || f.width <= 0)
            return false;
        const int natural = naturalWidth(f.kind);
        if (natural > 0 && natural != f.width)
            return false;
        if (f.kind == FieldKind::ShortString && f.width > 256)
            return false;
        next += f.width;
    }
    return next == LedgerEntrySize;
}
static_assert(layoutIsContiguous(), "the ledger entry layout must cover exactly 400 bytes");
static_assert(field::DocNo.width - 1 == 22 && field::PartyNip.width - 1 == 18);
static_assert(field::PartyName.width - 1 == 36 && field::SpareText.width - 1 == 12);

// The record itself: 400 bytes, read and written through the layout above.
class LedgerEntry
{
public:
    LedgerEntry();

    void clear(); // back to 400 zero bytes
    const QByteArray& bytes() const { return m_bytes; }

    qint32 int32(const FieldLayout& f) const;
    void setInt32(const FieldLayout& f, qint32 value);
    qint16 int16(const FieldLayout& f) const;
    void setInt16(const FieldLayout& f, qint16 value);
    quint8 byte(const FieldLayout& f) const; // UInt8 and Char fields
    void setByte(const FieldLayout& f, quint8 value);
    // A character field holds the low 8 bits of the character's code.
    void setChar(const FieldLayout& f, char16_t code) { setByte(f, static_cast<quint8>(code & 0xFF)); }
    double real(const FieldLayout& f) const;
    void setReal(const FieldLayout& f, double value);
    LedgerDate date(const FieldLayout& f) const;
    void setDate(const FieldLayout& f, LedgerDate value);

    // Short strings: the bytes the length byte covers.
    static int capacity(const FieldLayout& f) { return f.width - 1; }
    QByteArray text(const FieldLayout& f) const;
    // The same bytes, without a copy; valid while the entry is not changed.
    QByteArrayView textView(const FieldLayout& f) const;
    // Writes the length byte (at most the capacity) and that many bytes; the rest
    // of the field keeps what it held.
    void setText(const FieldLayout& f, QByteArrayView value);

private:
    char* at(const FieldLayout& f) { return m_bytes.data() + f.offset; }
    const char* at(const FieldLayout& f) const { return m_bytes.constData() + f.offset; }

    QByteArray m_bytes;
};

} // namespace przenosnik
