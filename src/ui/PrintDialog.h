// Printing a run's report through the system's print dialog, behind one seam: a
// test queues the answer with setNextAnswer and the next call prints into a
// PDF file (or cancels) without opening a dialog.
#pragma once

#include "conversion/RunReport.h"

#include <QString>

class QWidget;

namespace przenosnik {

class PrintDialog
{
public:
    // Asks for a printer, A4 landscape preset, and prints the report on it page by page.
    // Answers whether it was printed.
    static bool print(QWidget* parent, const RunReport& report, const QString& title);

    // Test answer: the next call prints as PDF into this file; an empty name
    // answers "cancelled". Used once.
    static void setNextAnswer(const QString& pdfFile);
    static void clearNextAnswer();

    // What the last call was asked, answered or not.
    static QString lastTitle();
    static int requestCount();
};

} // namespace przenosnik
