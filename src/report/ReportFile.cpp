#include "report/ReportFile.h"

#include "conversion/CsvReport.h"
#include "report/ReportTarget.h"
#ifdef PRZENOSNIK_PDF_REPORT
#include "report/ReportDocument.h"
#endif

#include <QFile>
#include <QFileInfo>

namespace przenosnik {

ReportFormat reportFormat(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv"))
        return ReportFormat::Csv;
    if (suffix == QLatin1String("pdf"))
        return ReportFormat::Pdf;
    return ReportFormat::Unknown;
}

bool pdfReportAvailable()
{
#ifdef PRZENOSNIK_PDF_REPORT
    return true;
#else
    return false;
#endif
}

namespace {

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

bool writeCsv(const QString& path, const RunReport& report)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return writeCsvReport(file, report) && file.flush();
}

} // namespace

bool writeReport(const QString& path, const RunReport& report, QString* error)
{
    const ReportFormat format = reportFormat(path);
    if (format == ReportFormat::Unknown)
        return fail(error, QStringLiteral("raport musi mieć rozszerzenie .csv albo .pdf: \"%1\"").arg(path));
#ifndef PRZENOSNIK_PDF_REPORT
    if (format == ReportFormat::Pdf)
        return fail(error, QStringLiteral("ta wersja programu nie zapisuje raportu PDF: \"%1\"").arg(path));
#endif
    const QString refused = refusedReportTarget(path, report);
    if (!refused.isEmpty())
        return fail(error, refused);
    const bool written = writeReplacing(linkedFilePath(path), [&](const QString& file) {
#ifdef PRZENOSNIK_PDF_REPORT
        if (format == ReportFormat::Pdf)
            return writePdfReport(file, report);
#endif
        return writeCsv(file, report);
    });
    if (!written)
        return fail(error, QStringLiteral("Błąd zapisu raportu \"%1\"").arg(path));
    return true;
}

} // namespace przenosnik
