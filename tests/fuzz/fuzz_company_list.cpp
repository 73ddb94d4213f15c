// The company list reader under arbitrary file contents. The first byte
// chooses the ledger encoding, the rest is the SPISFIRM.DAT file.
#include "FuzzCheck.h"
#include "FuzzTempFile.h"

#include "ledger/CompanyList.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

using namespace przenosnik;

namespace {

bool fitsColumn(const QString& value, int width)
{
    return value.size() <= width && !value.contains(QChar(0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const PolishEncoding encoding = (data[0] & 1) ? PolishEncoding::Mazovia : PolishEncoding::Cp852;
    const QByteArray content(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QString path = fuzz::ScratchDirectory::instance().write(QStringLiteral("SPISFIRM.DAT"), content);

    const std::optional<QList<CompanyRow>> rows = loadCompanyList(path, encoding);
    PRZ_FUZZ_CHECK(rows.has_value());
    PRZ_FUZZ_CHECK(rows->size() == content.size() / CompanyRecordSize);

    // Every record appears once, in sorted order: the same rows as read one by one.
    QList<CompanyRow> expected;
    for (qsizetype offset = 0; offset + CompanyRecordSize <= content.size(); offset += CompanyRecordSize)
        expected.append(
            readCompanyRecord(QByteArrayView(content).sliced(offset, CompanyRecordSize), encoding));
    sortCompanies(expected);
    PRZ_FUZZ_CHECK(*rows == expected);

    const QCollator collator = companyCollator();
    const QString folder = folderPart(path);
    for (qsizetype i = 0; i < rows->size(); ++i) {
        const CompanyRow& row = rows->at(i);
        PRZ_FUZZ_CHECK(fitsColumn(row.firma, CompanyFirmaField.width));
        PRZ_FUZZ_CHECK(fitsColumn(row.katalog, CompanyKatalogField.width));
        PRZ_FUZZ_CHECK(fitsColumn(row.info, CompanyInfoField.width));
        if (i > 0)
            PRZ_FUZZ_CHECK(collator.compare(rows->at(i - 1).firma, row.firma) <= 0);
        // A company's directory lies right inside the list's folder, or there is none.
        const std::optional<QString> directory = companyDirectory(path, row.katalog);
        PRZ_FUZZ_CHECK(directory.has_value() == isCompanyKatalog(row.katalog));
        if (directory)
            PRZ_FUZZ_CHECK(directory->startsWith(folder) && !directory->sliced(folder.size()).contains(u'/'));
    }
    return 0;
}
