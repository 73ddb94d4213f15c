// The company an export file comes from, as the sales program names it in the
// file's header ("Firma =").
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace przenosnik {

// The value of the header line "Firma =", trimmed; empty when the header has none.
// Only the header is looked at: the lines before the first document block.
QString exportCompanyName(const QString& exportFile);

// The same for the header's bytes (Windows-1250, or UTF-8 when they are valid UTF-8).
QString exportCompanyNameIn(QByteArrayView header);

// The lines that name both companies, so that a mismatch is plain to see:
// "Firma: %s" (the ledger's company of the directory) and, when the export names
// its company, "Eksport firmy: %s" right under it.
QStringList companyLines(const QString& companyName, const QString& exportCompany);

} // namespace przenosnik
