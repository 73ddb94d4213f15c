#include "conversion/ExportReader.h"

#include "conversion/ConversionRun.h"
#include "encoding/AsciiValues.h"
#include "encoding/Windows1250.h"

#include <QVarLengthArray>

#include <string_view>

namespace przenosnik {

namespace {

constexpr QByteArrayView VersionKey = "Wersja szablonu =";
constexpr QByteArrayView CancelledKey = "anulowany =";
constexpr QByteArrayView KindKey = "rodzaj_dok =";
constexpr QByteArrayView PurchaseKind = "zakupu";
constexpr QByteArrayView BlockStart = "Dokument{";

// "sprzedaży" as the export file writes it.
const QByteArray& salesKind()
{
    static const QByteArray kind = encodeWindows1250(u"sprzedaży");
    return kind;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The date part at characters first..last (counted from 1), or a message.
quint32 datePart(ConversionRun& run, QByteArrayView value, qsizetype first, qsizetype length,
                 const char* message)
{
    const qsizetype from = qMin(first - 1, value.size());
    const QByteArrayView part = value.sliced(from, qMin(length, value.size() - from));
    if (const auto number = parseInteger(part))
        return static_cast<quint32>(*number);
    run.trace(QString::fromUtf8(message) + decodeWindows1250(value) + QStringLiteral("\""));
    run.notes.dateError = true;
    return static_cast<quint32>(leadingDigitsValue(part));
}

} // namespace

QByteArrayView ReadExportLine(ConversionRun& run)
{
    run.endOfInput = false;
    QByteArrayView line;
    switch (run.exportFile->readLine(line)) {
    case ExportLineSource::Result::Line:
        return line;
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
    return {};
}

void ReadHeader(ConversionRun& run)
{
    for (;;) {
        const QByteArrayView line = ReadExportLine(run);
        if (run.endOfInput)
            return;
        if (line.contains(ExporterMark))
            run.trace(decodeWindows1250(trimControl(line)));
        if (const auto version = LineText(VersionKey, line)) {
            if (!version->isEmpty()) {
                const char first = version->front();
                if (!isDigit(first)) {
                    run.invalidVersion = decodeWindows1250(version->first(1));
                    return;
                }
                run.templateVersion = first - '0';
            }
            run.trace(decodeWindows1250(trimControl(line)));
            return;
        }
    }
}

bool ReadNextDocument(ConversionRun& run)
{
    run.cursor.reset();
    run.document.clear();
    run.documentSought = true;

    for (;;) {
        const QByteArrayView line = ReadExportLine(run);
        if (run.endOfInput)
            return false;
        if (line.startsWith(BlockStart))
            break;
    }
    for (;;) {
        const QByteArrayView line = ReadExportLine(run);
        if (run.endOfInput)
            return false; // an unfinished block is not used
        if (line.startsWith('\t')) {
            if (run.document.size() < MaxDocumentLines)
                run.document.append(line.sliced(1).first(qMin(line.size() - 1, MaxLineLength)));
        } else if (line.startsWith('}')) {
            break;
        }
    }

    const auto cancelled = LineInteger(CancelledKey, run.document.line(0));
    if (cancelled && *cancelled != 0) {
        ++run.rejected.cancelled;
        return false;
    }

    run.documentKind = -1;
    const auto kind = LineText(KindKey, run.document.line(1));
    if (!kind)
        return true; // the mapping reports the missing register type
    if (*kind == salesKind())
        run.documentKind = SalesDocument;
    else if (*kind == PurchaseKind)
        run.documentKind = PurchaseDocument;
    else
        ++run.rejected.otherKinds;
    return run.documentKind > 0;
}

std::optional<QByteArrayView> LineText(QByteArrayView key, QByteArrayView line)
{
    const std::string_view text(line.data(), size_t(line.size()));
    const size_t found = text.find(std::string_view(key.data(), size_t(key.size())));
    if (found == std::string_view::npos)
        return std::nullopt;
    const qsizetype at = qsizetype(found);
    const QByteArrayView value = line.sliced(at + key.size());
    return trimControl(value.first(qMin(value.size(), MaxLineLength)));
}

std::optional<qint32> LineInteger(QByteArrayView key, QByteArrayView line)
{
    const auto text = LineText(key, line);
    return text ? parseInteger(*text) : std::nullopt;
}

std::optional<double> LineAmount(ConversionRun& run, QByteArrayView key, QByteArrayView line)
{
    const auto text = LineText(key, line);
    if (!text)
        return std::nullopt;
    const auto amount = parseAmount(*text);
    if (!amount) {
        run.trace(QStringLiteral("Błąd określenia wartości DOUBLE"));
        run.notes.amountError = true;
    }
    return amount;
}

std::optional<LedgerDate> LineDate(ConversionRun& run, QByteArrayView key, QByteArrayView line)
{
    const auto text = LineText(key, line);
    if (!text)
        return std::nullopt;
    LedgerDate date;
    if (text->isEmpty())
        return date;
    // Fixed positions: yyyy-mm-dd; the two separators are not examined.
    date.year = static_cast<quint16>(datePart(run, *text, 1, 4, "Błąd określenia ROKU w \""));
    date.month = static_cast<quint8>(datePart(run, *text, 6, 2, "Błąd określenia MIESIĄCA w \""));
    date.day = static_cast<quint8>(datePart(run, *text, 9, 2, "Błąd określenia DNIA w \""));
    return date;
}

std::optional<QByteArrayView> FindText(ConversionRun& run, QByteArrayView key, NotFoundReport report)
{
    const auto found = run.cursor.findForward([&](QByteArrayView line) { return LineText(key, line); });
    if (!found && report == TraceNotFound)
        run.trace(QStringLiteral("* nie odnaleziono \"") + QLatin1StringView(key) + QStringLiteral("\""));
    return found;
}

std::optional<qint32> FindInteger(ConversionRun& run, QByteArrayView key)
{
    return run.cursor.findForward([&](QByteArrayView line) { return LineInteger(key, line); });
}

std::optional<double> FindAmount(ConversionRun& run, QByteArrayView key)
{
    return run.cursor.findForward([&](QByteArrayView line) { return LineAmount(run, key, line); });
}

std::optional<LedgerDate> FindDate(ConversionRun& run, QByteArrayView key)
{
    return run.cursor.findForward([&](QByteArrayView line) { return LineDate(run, key, line); });
}

QByteArray StripStreetPrefix(QByteArrayView text)
{
    // Only ASCII letters upper-case to U, L or A in Windows-1250, so the
    // prefix is looked for byte by byte, whatever stands around it.
    const auto prefixAt = [text](char first) -> qsizetype {
        for (qsizetype i = 0; i + 3 <= text.size(); ++i) {
            if ((text[i] | 0x20) == (first | 0x20) && (text[i + 1] | 0x20) == 'l' && text[i + 2] == '.')
                return i;
        }
        return -1;
    };
    qsizetype at = prefixAt('u');
    if (at < 0)
        at = prefixAt('a');
    if (at < 0)
        return trimControl(text).toByteArray();
    QVarLengthArray<char, 2 * MaxLineLength> joined;
    joined.append(text.data(), at);
    joined.append(text.data() + at + 3, text.size() - at - 3);
    return trimControl(QByteArrayView(joined.data(), joined.size())).toByteArray();
}

} // namespace przenosnik
