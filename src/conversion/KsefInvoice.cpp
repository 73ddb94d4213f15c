#include "conversion/KsefInvoice.h"

#include <QXmlStreamReader>

#include <vector>

namespace przenosnik {

namespace {

constexpr std::array<QStringView, size_t(KsefAmount::Count)> AmountPaths = {
    u"Fa/P_13_1",   u"Fa/P_14_1", u"Fa/P_13_2", u"Fa/P_14_2", u"Fa/P_13_3",   u"Fa/P_14_3",
    u"Fa/P_13_4",   u"Fa/P_14_4", u"Fa/P_13_5", u"Fa/P_14_5", u"Fa/P_13_6_1", u"Fa/P_13_6_2",
    u"Fa/P_13_6_3", u"Fa/P_13_7", u"Fa/P_13_8", u"Fa/P_13_9", u"Fa/P_13_10",  u"Fa/P_13_11",
};

QString malformed(const QXmlStreamReader& xml)
{
    return QStringLiteral("błędny XML (wiersz %1)").arg(qMax<qint64>(1, xml.lineNumber()));
}

// The text of a party's element, by its path under Podmiot1 or Podmiot2.
QString* partyField(KsefParty& party, QStringView path)
{
    if (path == u"DaneIdentyfikacyjne/NIP")
        return &party.nip;
    if (path == u"DaneIdentyfikacyjne/KodUE")
        return &party.euCode;
    if (path == u"DaneIdentyfikacyjne/NrVatUE")
        return &party.euVatNumber;
    if (path == u"DaneIdentyfikacyjne/KodKraju")
        return &party.countryCode;
    if (path == u"DaneIdentyfikacyjne/NrID")
        return &party.otherId;
    if (path == u"Adres/AdresL1")
        return &party.addressLine1;
    if (path == u"Adres/AdresL2")
        return &party.addressLine2;
    return nullptr;
}

// Where the text of the element at the path goes; nothing for the elements not used.
struct Target
{
    QString* text = nullptr;
    std::optional<QString>* optionalText = nullptr;
    bool firstOnly = false;
    int amount = -1;
    bool margin = false;
};

Target targetOf(KsefInvoice& invoice, QStringView path)
{
    Target target;
    for (KsefParty* party : {&invoice.seller, &invoice.buyer}) {
        const QStringView prefix = party == &invoice.seller ? u"Podmiot1/" : u"Podmiot2/";
        if (path.startsWith(prefix)) {
            const QStringView rest = path.sliced(prefix.size());
            if (rest == u"DaneIdentyfikacyjne/Nazwa")
                target.optionalText = &party->name;
            else
                target.text = partyField(*party, rest);
            return target;
        }
    }
    if (!path.startsWith(u"Fa/"))
        return target;
    for (size_t i = 0; i < AmountPaths.size(); ++i) {
        if (path == AmountPaths[i]) {
            target.amount = int(i);
            return target;
        }
    }
    if (path == u"Fa/KodWaluty")
        target.text = &invoice.currency;
    else if (path == u"Fa/RodzajFaktury")
        target.text = &invoice.kind;
    else if (path == u"Fa/P_1")
        target.optionalText = &invoice.issueDate;
    else if (path == u"Fa/P_2")
        target.optionalText = &invoice.number;
    else if (path == u"Fa/P_6")
        target.optionalText = &invoice.saleDate;
    else if (path == u"Fa/OkresFa/P_6_Do")
        target.optionalText = &invoice.periodEnd;
    else if (path == u"Fa/FaWiersz/P_7")
        target.optionalText = &invoice.firstItem, target.firstOnly = true;
    else if (path == u"Fa/Platnosc/TerminPlatnosci/Termin")
        target.optionalText = &invoice.firstDueDate, target.firstOnly = true;
    else if (path == u"Fa/Adnotacje/PMarzy/P_PMarzy")
        target.margin = true;
    return target;
}

} // namespace

std::optional<qint64> parseKsefAmount(QStringView text)
{
    text = text.trimmed();
    const bool negative = text.startsWith(u'-');
    if (negative)
        text = text.sliced(1);
    const qsizetype point = text.indexOf(u'.');
    const QStringView whole = point < 0 ? text : text.first(point);
    const QStringView fraction = point < 0 ? QStringView() : text.sliced(point + 1);
    if (whole.isEmpty() || whole.size() > 16 || (point >= 0 && (fraction.isEmpty() || fraction.size() > 2)))
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : whole) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    qint64 cents = 0;
    for (qsizetype i = 0; i < 2; ++i) {
        const QChar c = i < fraction.size() ? fraction[i] : QChar(u'0');
        if (c < u'0' || c > u'9')
            return std::nullopt;
        cents = cents * 10 + (c.unicode() - u'0');
    }
    const qint64 total = value * 100 + cents;
    return negative ? -total : total;
}

KsefReading readKsefInvoice(QByteArrayView bytes)
{
    KsefReading reading;
    if (bytes.size() > MaxKsefInvoiceSize) {
        reading.rejection = QStringLiteral("plik większy niż 10 MB");
        return reading;
    }
    QXmlStreamReader xml(bytes.toByteArray());
    KsefInvoice invoice;
    QString rootNamespace;
    // The path of the current element below the root, and where each level starts.
    QString path;
    std::vector<qsizetype> levels;
    bool otherDocument = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference) {
            reading.rejection = malformed(xml);
            return reading;
        }
        if (token == QXmlStreamReader::EndElement) {
            if (!levels.empty()) {
                path.truncate(levels.back());
                levels.pop_back();
            }
            continue;
        }
        if (token != QXmlStreamReader::StartElement || otherDocument)
            continue;
        if (rootNamespace.isEmpty()) {
            const QStringView ns = xml.namespaceUri();
            if (xml.name() != u"Faktura" || (ns != KsefNamespaceFa2 && ns != KsefNamespaceFa3)) {
                // Read on: a file that is not even well-formed is said to be so.
                otherDocument = true;
                continue;
            }
            rootNamespace = ns.toString();
            invoice.structure = ns == KsefNamespaceFa2 ? 2 : 3;
            levels.push_back(0); // the root: paths are written below it
            continue;
        }
        levels.push_back(path.size());
        if (!path.isEmpty())
            path += u'/';
        // An element of another namespace leads nowhere the table looks.
        path += xml.namespaceUri() == rootNamespace ? xml.name() : u"?";
        const Target target = targetOf(invoice, path);
        if (!target.text && !target.optionalText && target.amount < 0 && !target.margin)
            continue;
        const QString text = xml.readElementText();
        if (xml.hasError())
            break;
        path.truncate(levels.back());
        levels.pop_back();
        if (target.text) {
            *target.text = text;
        } else if (target.optionalText) {
            if (!target.firstOnly || !target.optionalText->has_value())
                *target.optionalText = text;
        } else if (target.margin) {
            invoice.marginFlag = text.trimmed() == u"1";
        } else if (const auto amount = parseKsefAmount(text)) {
            invoice.amounts[size_t(target.amount)] = *amount;
        } else {
            reading.rejection = QStringLiteral("błędna kwota %1 (wiersz %2)")
                                    .arg(AmountPaths[size_t(target.amount)].sliced(3))
                                    .arg(xml.lineNumber());
            return reading;
        }
    }
    if (xml.hasError()) {
        reading.rejection = malformed(xml);
        return reading;
    }
    if (rootNamespace.isEmpty() || otherDocument) {
        reading.rejection = QStringLiteral("to nie jest faktura KSeF");
        return reading;
    }
    reading.invoice = std::move(invoice);
    return reading;
}

} // namespace przenosnik
