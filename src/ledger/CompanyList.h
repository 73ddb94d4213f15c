// The ledger program's company list SPISFIRM.DAT: fixed 103-byte records, one
// per company, with no header. Only read, never written.
#pragma once

#include "encoding/PolishEncoding.h"

#include <QByteArrayView>
#include <QCollator>
#include <QList>
#include <QString>

#include <optional>

namespace przenosnik {

inline constexpr int CompanyRecordSize = 103;

// Where each text field of a record lies: its length byte, then up to
// `width` characters. Bytes 52..102 of a record are not read.
struct CompanyField
{
    int offset;
    int width;
};
inline constexpr CompanyField CompanyFirmaField{0, 31};
inline constexpr CompanyField CompanyKatalogField{32, 8};
inline constexpr CompanyField CompanyInfoField{41, 10};

// One row of the list, in wide text.
struct CompanyRow
{
    QString firma;   // company name
    QString katalog; // the company's data directory, one path component
    QString info;
    friend bool operator==(const CompanyRow&, const CompanyRow&) = default;
};

// One record (at least 52 bytes). Firma and Info are in the ledger encoding
// and come out through Windows-1250; Katalog's bytes are read as Windows-1250
// without Polish conversion. A length byte above the field's width gives the
// whole width; a zero byte cuts the value before it.
CompanyRow readCompanyRecord(QByteArrayView record, PolishEncoding ledgerEncoding);

// The collation of company names: the user locale's, Polish when the
// environment names no locale; case-sensitive.
QCollator companyCollator();
// Ascending by Firma with companyCollator(); equal names keep file order.
void sortCompanies(QList<CompanyRow>& rows);

// Reads the list file, found in whatever letter case it has on disk.
// No file under that name (or a directory): std::nullopt. A file that cannot
// be opened or read, or one that is not a regular file (a pipe, a device),
// gives the rows read so far, possibly none. The rows come
// sorted by sortCompanies.
std::optional<QList<CompanyRow>> loadCompanyList(const QString& fileName, PolishEncoding ledgerEncoding);

// Everything up to and including the last path separator; empty without one.
QString folderPart(const QString& fileName);
// Whether Katalog names a directory right inside the list file's folder: it
// holds no path separator (neither slash) and is not "." or "..". An empty
// Katalog names the folder itself and is accepted.
bool isCompanyKatalog(const QString& katalog);
// The company's data directory: the folder of the list file followed by
// Katalog, then found in the letter case it has on disk when it exists in
// another case. With an empty Katalog this is the list file's folder alone.
// A Katalog that isCompanyKatalog refuses gives no directory.
std::optional<QString> companyDirectory(const QString& listFileName, const QString& katalog);

// The name of the company whose data directory this is: the Firma of the row of
// SPISFIRM.DAT in the directory's parent folder whose Katalog names the directory
// (in any letter case, as DOS names are). Empty when there is no such list or row.
QString companyNameOf(const QString& directory, PolishEncoding ledgerEncoding);

// companyNameOf for a name looked up at every keystroke: the list file is
// read again only when it, its size, its time or the encoding has changed.
class CompanyNameLookup
{
public:
    QString nameOf(const QString& directory, PolishEncoding ledgerEncoding);

private:
    QString m_listFile;
    PolishEncoding m_encoding = PolishEncoding::Cp852;
    qint64 m_size = -1;
    qint64 m_modified = -1;
    std::optional<QList<CompanyRow>> m_rows;
};

} // namespace przenosnik
