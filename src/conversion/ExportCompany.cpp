#include "conversion/ExportCompany.h"

#include "encoding/Windows1250.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace przenosnik {

namespace {
// The header of an export is a few lines; a file that has none is not read further.
constexpr qint64 HeaderBytes = 16 * 1024;
constexpr QByteArrayView CompanyKey = "Firma =";
constexpr QByteArrayView DocumentStart = "Dokument{";

QString decodeText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? decodeWindows1250(bytes) : text;
}
} // namespace

QString exportCompanyNameIn(QByteArrayView header)
{
    qsizetype start = 0;
    while (start < header.size()) {
        qsizetype end = start;
        while (end < header.size() && header[end] != '\n' && header[end] != '\r')
            ++end;
        const QByteArrayView line = header.sliced(start, end - start).trimmed();
        if (line.startsWith(DocumentStart))
            break;
        if (line.startsWith(CompanyKey))
            return decodeText(line.sliced(CompanyKey.size())).trimmed();
        start = end + 1;
    }
    return {};
}

QString exportCompanyName(const QString& exportFile)
{
    // Only a regular file: a pipe or a device could block.
    if (exportFile.isEmpty() || !QFileInfo(exportFile).isFile())
        return {};
    QFile file(exportFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return exportCompanyNameIn(file.read(HeaderBytes));
}

QStringList companyLines(const QString& companyName, const QString& exportCompany)
{
    QStringList lines{
        QStringLiteral("Firma: %1")
            .arg(companyName.isEmpty() ? QStringLiteral("(brak w spisie firm KPR)") : companyName)};
    if (!exportCompany.isEmpty())
        lines.append(QStringLiteral("Eksport firmy: %1").arg(exportCompany));
    return lines;
}

} // namespace przenosnik
