#include "ledger/CompanyList.h"

#include "encoding/Windows1250.h"
#include "platform/DosPath.h"
#include "platform/SystemPaths.h"
#include "platform/UserLocale.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace przenosnik {

namespace {

// The characters of a length-prefixed field, capped at its width and cut at
// the first zero byte.
QByteArrayView fieldBytes(QByteArrayView record, CompanyField field)
{
    const int length = std::min<int>(static_cast<quint8>(record.at(field.offset)), field.width);
    QByteArrayView characters = record.sliced(field.offset + 1, length);
    const qsizetype zero = characters.indexOf('\0');
    return zero < 0 ? characters : characters.first(zero);
}

// A converted value cut at a zero byte and at its column's width.
QString columnValue(const QByteArray& windows1250, int width)
{
    const qsizetype zero = windows1250.indexOf('\0');
    const QByteArray kept = zero < 0 ? windows1250 : windows1250.first(zero);
    return decodeWindows1250(kept).left(width);
}

} // namespace

CompanyRow readCompanyRecord(QByteArrayView record, PolishEncoding ledgerEncoding)
{
    Q_ASSERT(record.size() >= CompanyInfoField.offset + 1 + CompanyInfoField.width);
    CompanyRow row;
    row.firma = columnValue(ToWindows1250(fieldBytes(record, CompanyFirmaField), ledgerEncoding),
                            CompanyFirmaField.width);
    row.katalog =
        columnValue(fieldBytes(record, CompanyKatalogField).toByteArray(), CompanyKatalogField.width);
    row.info = columnValue(ToWindows1250(fieldBytes(record, CompanyInfoField), ledgerEncoding),
                           CompanyInfoField.width);
    return row;
}

QCollator companyCollator()
{
    QCollator collator(userLocale());
    collator.setCaseSensitivity(Qt::CaseSensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    return collator;
}

void sortCompanies(QList<CompanyRow>& rows)
{
    const QCollator collator = companyCollator();
    std::stable_sort(rows.begin(), rows.end(), [&collator](const CompanyRow& a, const CompanyRow& b) {
        return collator.compare(a.firma, b.firma) < 0;
    });
}

std::optional<QList<CompanyRow>> loadCompanyList(const QString& fileName, PolishEncoding ledgerEncoding)
{
    const QString path = resolvePathCase(fileName);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir())
        return std::nullopt;

    QList<CompanyRow> rows;
    // Read-only: the ledger program may hold the file open, even write it,
    // meanwhile; nothing here locks it.
    // Only a regular file is read: opening a pipe or a device could wait
    // forever or never end.
    QFile file(path);
    if (info.isFile() && file.open(QIODevice::ReadOnly)) {
        const qint64 records = file.size() / CompanyRecordSize;
        for (qint64 i = 0; i < records; ++i) {
            const QByteArray record = file.read(CompanyRecordSize);
            if (record.size() != CompanyRecordSize)
                break;
            rows.append(readCompanyRecord(record, ledgerEncoding));
        }
        file.close();
    }
    sortCompanies(rows);
    return rows;
}

QString folderPart(const QString& fileName)
{
    const qsizetype cut =
        platform::DrivePaths
            ? std::max({fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')),
                        fileName.lastIndexOf(QLatin1Char(':'))})
            : fileName.lastIndexOf(QLatin1Char('/'));
    return fileName.left(cut + 1);
}

bool isCompanyKatalog(const QString& katalog)
{
    // Both slashes on every platform: the list comes from DOS, where either
    // one separates directories, and a value holding one leads elsewhere.
    if (platform::DrivePaths && katalog.contains(QLatin1Char(':')))
        return false;
    return !katalog.contains(QLatin1Char('/')) && !katalog.contains(QLatin1Char('\\')) &&
           katalog != QLatin1String(".") && katalog != QLatin1String("..");
}

std::optional<QString> companyDirectory(const QString& listFileName, const QString& katalog)
{
    if (!isCompanyKatalog(katalog))
        return std::nullopt;
    return resolvePathCase(folderPart(listFileName) + katalog);
}

QString companyNameOf(const QString& directory, PolishEncoding ledgerEncoding)
{
    return CompanyNameLookup().nameOf(directory, ledgerEncoding);
}

QString CompanyNameLookup::nameOf(const QString& directory, PolishEncoding ledgerEncoding)
{
    QString path = QDir::fromNativeSeparators(directory.trimmed());
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (path.isEmpty() || name.isEmpty() || !isCompanyKatalog(name))
        return {};
    const QString listFile = info.dir().filePath(QStringLiteral("SPISFIRM.DAT"));
    const QFileInfo list(resolvePathCase(listFile));
    const qint64 size = list.exists() ? list.size() : -1;
    const qint64 modified = list.exists() ? list.lastModified().toMSecsSinceEpoch() : -1;
    if (listFile != m_listFile || ledgerEncoding != m_encoding || size != m_size || modified != m_modified) {
        m_rows = loadCompanyList(listFile, ledgerEncoding);
        m_listFile = listFile;
        m_encoding = ledgerEncoding;
        m_size = size;
        m_modified = modified;
    }
    if (!m_rows)
        return {};
    for (const CompanyRow& row : *m_rows) {
        if (row.katalog.trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return row.firma.trimmed();
    }
    return {};
}

} // namespace przenosnik
