#include "conversion/ExportReader.h"

#include "conversion/ConversionState.h"
#include "conversion/ExportValues.h"
#include "encoding/Windows1250.h"

namespace przenosnik {

namespace {

const QString VersionKey = QStringLiteral("Wersja szablonu =");
const QString CancelledKey = QStringLiteral("anulowany =");
const QString KindKey = QStringLiteral("rodzaj_dok =");
const QString SalesKind = QStringLiteral("sprzedaży");
const QString PurchaseKind = QStringLiteral("zakupu");
const QString BlockStart = QStringLiteral("Dokument{");

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QString documentLine(ConversionRun& run, qsizetype index)
{
    const QStringList& lines = run.document();
    return index < lines.size() ? lines.at(index) : QString();
}

// The shape shared by the four document lookups: from the line cursor on,
// every examined line is passed, and the first line the lookup accepts ends it.
template <typename LineLookup> bool findForward(ConversionRun& run, LineLookup&& lookup)
{
    while (run.lineCursor < run.document().size()) {
        run.currentLine = run.document().at(run.lineCursor);
        ++run.lineCursor;
        if (lookup(run.currentLine))
            return true;
    }
    return false;
}

// The date part at characters first..last (counted from 1), or a message.
quint32 datePart(ConversionRun& run, const QString& value, qsizetype first, qsizetype length,
                 const char* message)
{
    const QStringView part = QStringView(value).mid(first - 1, length);
    if (const auto number = ParseInteger(part))
        return static_cast<quint32>(*number);
    run.trace(QString::fromUtf8(message) + value + QStringLiteral("\""));
    run.notes.dateError = true;
    return static_cast<quint32>(LeadingDigitsValue(part));
}

} // namespace

QString ReadExportLine(ConversionRun& run)
{
    run.endOfInput = false;
    QByteArray bytes;
    switch (run.exportFile->readLine(bytes)) {
    case ExportLineSource::Result::Line:
        return decodeWindows1250(bytes);
    case ExportLineSource::Result::End:
        // The line end in front of the text shows as an empty line.
        run.trace(QString());
        run.trace(QStringLiteral("Osiągnięto fizyczny koniec pliku "));
        break;
    case ExportLineSource::Result::Error:
        run.trace(QStringLiteral("io Błąd odczytu z pliku "));
        run.readFailed = true;
        break;
    }
    run.endOfInput = true;
    return QString();
}

void ReadHeader(ConversionRun& run)
{
    for (;;) {
        const QString line = ReadExportLine(run);
        if (run.endOfInput)
            return;
        if (line.contains(ExporterMark))
            run.trace(TrimControl(line));
        const TextValue version = LineText(VersionKey, line);
        if (version.found) {
            if (!version.value.isEmpty()) {
                const QChar first = version.value.at(0);
                if (!isDigit(first)) {
                    run.invalidVersion = QString(first);
                    return;
                }
                run.templateVersion = first.unicode() - '0';
            }
            run.trace(TrimControl(line));
            return;
        }
    }
}

bool ReadNextDocument(ConversionRun& run)
{
    run.lineCursor = 0;
    run.document().clear();

    for (;;) {
        run.currentLine = ReadExportLine(run);
        if (run.endOfInput)
            return false;
        if (run.currentLine.startsWith(BlockStart))
            break;
    }
    for (;;) {
        run.currentLine = ReadExportLine(run);
        if (run.endOfInput)
            return false; // an unfinished block is not used
        if (run.currentLine.startsWith(QLatin1Char('\t')))
            run.document().append(run.currentLine.mid(1, MaxLineLength));
        else if (run.currentLine.startsWith(QLatin1Char('}')))
            break;
    }

    run.currentLine = documentLine(run, 0);
    const IntegerValue cancelled = LineInteger(CancelledKey, run.currentLine);
    if (cancelled.ok && cancelled.value != 0) {
        ++run.rejected.cancelled;
        return false;
    }

    run.currentLine = documentLine(run, 1);
    run.documentKind = -1;
    const TextValue kind = LineText(KindKey, run.currentLine);
    if (!kind.found)
        return true; // the mapping reports the missing register type
    if (kind.value == SalesKind)
        run.documentKind = SalesDocument;
    else if (kind.value == PurchaseKind)
        run.documentKind = PurchaseDocument;
    else
        ++run.rejected.otherKinds;
    return run.documentKind > 0;
}

TextValue LineText(QStringView key, QStringView line)
{
    TextValue result;
    const qsizetype at = line.indexOf(key);
    if (at < 0)
        return result;
    result.found = true;
    result.value = TrimControl(line.sliced(at + key.size()).left(MaxLineLength));
    return result;
}

IntegerValue LineInteger(QStringView key, QStringView line)
{
    IntegerValue result;
    const TextValue text = LineText(key, line);
    if (!text.found)
        return result;
    if (const auto number = ParseInteger(text.value)) {
        result.ok = true;
        result.value = *number;
    }
    return result;
}

AmountValue LineAmount(ConversionRun& run, QStringView key, QStringView line)
{
    AmountValue result;
    const TextValue text = LineText(key, line);
    if (!text.found)
        return result;
    if (const auto amount = ParseAmount(text.value)) {
        result.ok = true;
        result.value = *amount;
    } else {
        run.trace(QStringLiteral("Błąd określenia wartości DOUBLE"));
        run.notes.amountError = true;
    }
    return result;
}

DateValue LineDate(ConversionRun& run, QStringView key, QStringView line)
{
    DateValue result;
    const TextValue text = LineText(key, line);
    if (!text.found)
        return result;
    result.found = true;
    if (text.value.isEmpty())
        return result;
    // Fixed positions: yyyy-mm-dd; the two separators are not examined.
    result.value.year = static_cast<quint16>(datePart(run, text.value, 1, 4, "Błąd określenia ROKU w \""));
    result.value.month =
        static_cast<quint8>(datePart(run, text.value, 6, 2, "Błąd określenia MIESIĄCA w \""));
    result.value.day = static_cast<quint8>(datePart(run, text.value, 9, 2, "Błąd określenia DNIA w \""));
    return result;
}

bool FindText(ConversionRun& run, QStringView key)
{
    run.foundText.clear();
    const bool found = findForward(run, [&](const QString& line) {
        const TextValue text = LineText(key, line);
        if (text.found)
            run.foundText = text.value;
        return text.found;
    });
    if (!found && !run.quietNotFound)
        run.trace(QStringLiteral("* nie odnaleziono \"") + key.toString() + QStringLiteral("\""));
    run.quietNotFound = false;
    return found;
}

bool FindInteger(ConversionRun& run, QStringView key)
{
    run.foundInteger = 0;
    return findForward(run, [&](const QString& line) {
        const IntegerValue number = LineInteger(key, line);
        if (number.ok)
            run.foundInteger = number.value;
        return number.ok;
    });
}

bool FindAmount(ConversionRun& run, QStringView key)
{
    run.foundAmount = 0;
    return findForward(run, [&](const QString& line) {
        const AmountValue amount = LineAmount(run, key, line);
        if (amount.ok)
            run.foundAmount = amount.value;
        return amount.ok;
    });
}

bool FindDate(ConversionRun& run, QStringView key)
{
    run.foundDate = LedgerDate{};
    return findForward(run, [&](const QString& line) {
        const DateValue date = LineDate(run, key, line);
        if (date.found)
            run.foundDate = date.value;
        return date.found;
    });
}

QString StripStreetPrefix(const QString& text)
{
    // Upper-cased character by character, so that positions stay the same.
    QString upper = text;
    for (QChar& c : upper)
        c = c.toUpper();
    qsizetype at = upper.indexOf(QLatin1String("UL."));
    if (at < 0)
        at = upper.indexOf(QLatin1String("AL."));
    QString result = text;
    if (at >= 0)
        result.remove(at, 3);
    return TrimControl(result);
}

} // namespace przenosnik
