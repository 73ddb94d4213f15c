#include "cli/CompanyListing.h"

#include "cli/CommandLine.h"
#include "cli/ConsoleHost.h"
#include "ledger/CompanyList.h"

#include <QDir>
#include <QFileInfo>

namespace przenosnik {

QString CompanyListFile(const QString& path)
{
    if (QFileInfo(path).isDir())
        return QDir(path).filePath(QStringLiteral("SPISFIRM.DAT"));
    return path;
}

int RunCompaniesCommand(const QString& path, PolishEncoding ledgerEncoding, std::FILE* out, std::FILE* err)
{
    const QString listFile = CompanyListFile(path);
    const std::optional<QList<CompanyRow>> rows = loadCompanyList(listFile, ledgerEncoding);
    if (!rows) {
        WriteLines(err, QStringLiteral("Nie ma listy firm \"%1\"").arg(listFile));
        return ExitNotCompleted;
    }
    for (const CompanyRow& row : *rows) {
        WriteLines(
            out, QStringList{row.firma, row.katalog, row.info, companyDirectory(listFile, row.katalog)}.join(
                     QLatin1Char('\t')));
    }
    return ExitCompleted;
}

} // namespace przenosnik
