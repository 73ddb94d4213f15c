#include "cli/CompanyListing.h"

#include "cli/CommandLine.h"
#include "cli/ConsoleOutput.h"
#include "ledger/CompanyList.h"

#include <QDir>
#include <QFileInfo>

namespace przenosnik {

QString companyListFile(const QString& path)
{
    if (QFileInfo(path).isDir())
        return QDir(path).filePath(QStringLiteral("SPISFIRM.DAT"));
    return path;
}

int runCompaniesCommand(const QString& path, PolishEncoding ledgerEncoding, std::FILE* out, std::FILE* err)
{
    ConsoleOutput console(out, err);
    const QString listFile = companyListFile(path);
    const std::optional<QList<CompanyRow>> rows = loadCompanyList(listFile, ledgerEncoding);
    if (!rows) {
        console.writeError(QStringLiteral("Nie ma listy firm \"%1\"").arg(listFile));
        return ExitNotCompleted;
    }
    for (const CompanyRow& row : *rows) {
        // A Katalog that leads out of the list's folder names no directory.
        const QString directory = companyDirectory(listFile, row.katalog).value_or(QString());
        QStringList fields;
        for (const QString& field : {row.firma, row.katalog, row.info, directory})
            fields.append(terminalText(field, false));
        console.writeLine(fields.join(QLatin1Char('\t')));
    }
    return ExitCompleted;
}

} // namespace przenosnik
