#include "support/CompanyRecords.h"

#include "ledger/CompanyList.h"

namespace przenosnik::test {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (const int value : values)
        result.append(static_cast<char>(value));
    return result;
}

QByteArray companyRecord(const QByteArray& firma, const QByteArray& katalog, const QByteArray& info,
                         int firmaLength, int katalogLength, int infoLength)
{
    QByteArray result(CompanyRecordSize, 'x');
    const auto put = [&result](CompanyField field, const QByteArray& text, int length) {
        result[field.offset] = static_cast<char>(length < 0 ? text.size() : length);
        result.replace(field.offset + 1, field.width, text.leftJustified(field.width, '#', true));
    };
    put(CompanyFirmaField, firma, firmaLength);
    put(CompanyKatalogField, katalog, katalogLength);
    put(CompanyInfoField, info, infoLength);
    return result;
}

} // namespace przenosnik::test
