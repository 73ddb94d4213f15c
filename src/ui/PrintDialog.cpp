#include "ui/PrintDialog.h"

#include "report/ReportDocument.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>

#include <optional>

namespace przenosnik {

namespace {
std::optional<QString> nextAnswer;
QString lastAskedTitle;
int requests = 0;

void presetPage(QPrinter& printer, const QString& title)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(title);
}
} // namespace

bool PrintDialog::print(QWidget* parent, const RunReport& report, const QString& title)
{
    lastAskedTitle = title;
    ++requests;
    if (nextAnswer) {
        const QString file = *nextAnswer;
        nextAnswer.reset();
        if (file.isEmpty()) {
            return false;
        }
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        presetPage(printer, title);
        return paintReport(printer, report);
    }
    QPrinter printer(QPrinter::HighResolution);
    presetPage(printer, title);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    return paintReport(printer, report);
}

void PrintDialog::setNextAnswer(const QString& pdfFile)
{
    nextAnswer = pdfFile;
}

void PrintDialog::clearNextAnswer()
{
    nextAnswer.reset();
}

QString PrintDialog::lastTitle()
{
    return lastAskedTitle;
}

int PrintDialog::requestCount()
{
    return requests;
}

} // namespace przenosnik
