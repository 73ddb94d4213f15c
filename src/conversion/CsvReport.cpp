#include "conversion/CsvReport.h"

#include "conversion/RunTotals.h"

#include <QBuffer>
#include <QFileInfo>

#include <charconv>

namespace przenosnik {

QString reportAmount(double value)
{
    char buffer[400];
    const std::to_chars_result end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    QString text = QString::fromLatin1(buffer, end.ptr - buffer);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    if (text == QLatin1String("-0,00"))
        text.remove(0, 1);
    return text;
}

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString csvTextField(const QString& text)
{
    static constexpr QStringView FormulaStarts = u"=+-@\t\r";
    if (!text.isEmpty() && FormulaStarts.contains(text.front()))
        return csvField(QLatin1Char('\'') + text);
    return csvField(text);
}

QString reportDate(const LedgerDate& date)
{
    if (date.year == 0 && date.month == 0 && date.day == 0)
        return {};
    return QStringLiteral("%1-%2-%3")
        .arg(date.year, 4, 10, QLatin1Char('0'))
        .arg(date.month, 2, 10, QLatin1Char('0'))
        .arg(date.day, 2, 10, QLatin1Char('0'));
}

QStringList reportColumns()
{
    QStringList columns{QStringLiteral("Lp"),     QStringLiteral("Numer"),      QStringLiteral("Data"),
                        QStringLiteral("Rodzaj"), QStringLiteral("Kontrahent"), QStringLiteral("NIP")};
    columns += amountCaptions();
    columns += QStringList{QStringLiteral("Plik"), QStringLiteral("Pozycja"), QStringLiteral("Stan"),
                           QStringLiteral("Uwagi")};
    return columns;
}

QStringList reportRow(const DocumentResult& document)
{
    // A document not accepted has no place; one that a file failure stopped at has a file but no position.
    const bool accepted = document.state != DocumentState::Skipped;
    const bool placed = accepted && document.state != DocumentState::NotWritten && document.position > 0;
    QStringList fields{QString::number(document.ordinal), document.number,    reportDate(document.date),
                       kindText(document.kind),           document.partyName, document.nip};
    for (double amount : amountColumns(document.amounts))
        fields.append(reportAmount(amount));
    fields.append(accepted ? QFileInfo(document.monthFile).fileName() : QString());
    fields.append(placed ? QString::number(document.position) : QString());
    fields.append(stateText(document.state));
    fields.append(document.remarks.join(QStringLiteral(", ")));
    return fields;
}

namespace {

// The columns whose cells are texts taken from the export or the file names.
QList<bool> textColumns()
{
    const QStringList texts{QStringLiteral("Numer"), QStringLiteral("Kontrahent"), QStringLiteral("NIP"),
                            QStringLiteral("Plik"), QStringLiteral("Uwagi")};
    QList<bool> columns;
    for (const QString& caption : reportColumns())
        columns.append(texts.contains(caption));
    return columns;
}

QByteArray csvLine(const QStringList& fields, const QList<bool>& textColumn = {})
{
    QStringList quoted;
    for (qsizetype i = 0; i < fields.size(); ++i)
        quoted.append(textColumn.value(i) ? csvTextField(fields.at(i)) : csvField(fields.at(i)));
    return (quoted.join(QLatin1Char(';')) + QLatin1String("\r\n")).toUtf8();
}

} // namespace

bool writeCsvReport(QIODevice& device, const RunReport& report)
{
    const auto write = [&device](const QByteArray& bytes) { return device.write(bytes) == bytes.size(); };
    if (!write(QByteArray("\xEF\xBB\xBF")) || !write(csvLine(reportColumns())))
        return false;
    const QList<bool> textColumn = textColumns();
    for (const DocumentResult& document : report.documents) {
        if (!write(csvLine(reportRow(document), textColumn)))
            return false;
    }
    return true;
}

QByteArray csvReport(const RunReport& report)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeCsvReport(buffer, report);
    return bytes;
}

} // namespace przenosnik
