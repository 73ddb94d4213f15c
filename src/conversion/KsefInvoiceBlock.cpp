#include "conversion/KsefInvoiceBlock.h"

#include "conversion/ConversionRun.h"
#include "conversion/ExportReader.h"
#include "encoding/Windows1250.h"

#include <QRegularExpression>

namespace przenosnik {

namespace {

using A = KsefAmount;

struct RateGroup
{
    const char* rate;
    std::initializer_list<A> net;
    A vat;
};

// The register blocks in their order; a group without VAT names its net twice.
const RateGroup RateGroups[] = {
    {"23", {A::P13_1}, A::P14_1},
    {"8", {A::P13_2}, A::P14_2},
    {"5", {A::P13_3}, A::P14_3},
    {"4", {A::P13_4}, A::P14_4},
    {"0", {A::P13_6_1, A::P13_6_2, A::P13_6_3}, A::Count},
    {"-1", {A::P13_7}, A::Count},
};

// Amounts outside Polish VAT: they count in the net, in no rate group.
constexpr A NotSubject[] = {A::P13_5, A::P13_8, A::P13_9, A::P13_10};

QByteArray amountText(qint64 grosze)
{
    const qint64 magnitude = grosze < 0 ? -grosze : grosze;
    return (grosze < 0 ? "-" : "") + QByteArray::number(magnitude / 100) + '.' +
           QByteArray::number(magnitude % 100).rightJustified(2, '0');
}

class BlockWriter
{
public:
    explicit BlockWriter(KsefDocument& document) : m_document(document) {}

    void line(const char* key, const QString& value)
    {
        QString text = value;
        for (QChar& c : text) {
            if (c.unicode() < 0x20)
                c = u' ';
        }
        if (!fitsWindows1250(text))
            m_foreign = true;
        add(QByteArray(key) + " = " + encodeWindows1250(text));
    }
    void line(const char* key, const QByteArray& value) { add(QByteArray(key) + " = " + value); }
    void add(const QByteArray& line)
    {
        m_document.lines.append(line.first(qMin(line.size(), MaxLineLength)));
    }
    bool foreign() const { return m_foreign; }

private:
    KsefDocument& m_document;
    bool m_foreign = false;
};

QString partyId(const KsefParty& party)
{
    if (!party.nip.isEmpty())
        return party.nip;
    if (!party.euVatNumber.isEmpty())
        return party.euCode + party.euVatNumber;
    if (!party.otherId.isEmpty())
        return party.countryCode + party.otherId;
    return {};
}

QString skipReasonOf(const KsefInvoice& invoice)
{
    const QString& kind = invoice.kind;
    if (kind == u"ZAL" || kind == u"KOR_ZAL")
        return QStringLiteral("faktura zaliczkowa");
    if (kind == u"ROZ" || kind == u"KOR_ROZ")
        return QStringLiteral("faktura rozliczeniowa");
    if (kind != u"VAT" && kind != u"UPR" && kind != u"KOR")
        return QStringLiteral("rodzaj faktury %1").arg(kind);
    if (invoice.currency != u"PLN")
        return QStringLiteral("waluta %1").arg(invoice.currency);
    if (invoice.amount(A::P13_11) != 0 || invoice.marginFlag)
        return QStringLiteral("procedura marży");
    return {};
}

} // namespace

QString normalizedNip(const QString& text)
{
    QString digits;
    for (const QChar c : text) {
        if (c.isDigit() && c.unicode() < 0x80)
            digits += c;
        else if (c != u'-' && c != u' ')
            return {};
    }
    return digits.size() == 10 ? digits : QString();
}

QString ksefNumberIn(const QString& fileName)
{
    static const QRegularExpression number(
        QStringLiteral("(?<![0-9A-Fa-f])[0-9]{10}-[0-9]{8}-[0-9A-Fa-f]{12}-[0-9A-Fa-f]{2}(?![0-9A-Fa-f])"));
    return number.match(fileName).captured();
}

KsefDocument makeKsefDocument(const KsefInvoice& invoice, const QString& companyNip)
{
    KsefDocument document;
    const bool sales = !companyNip.isEmpty() && normalizedNip(invoice.seller.nip) == companyNip;
    const bool purchase = !sales && !companyNip.isEmpty() && normalizedNip(invoice.buyer.nip) == companyNip;
    if (!sales && !purchase)
        return document;
    document.kind = sales ? SalesDocument : PurchaseDocument;
    const KsefParty& party = sales ? invoice.buyer : invoice.seller;
    // A purchase's register lines carry the invoice's amounts negated.
    const qint64 registerSign = sales ? 1 : -1;

    BlockWriter block(document);
    block.line("anulowany", QByteArray("0"));
    block.line("rodzaj_dok", sales ? encodeWindows1250(u"sprzedaży") : QByteArray("zakupu"));
    if (invoice.number)
        block.line("kod", *invoice.number);
    if (invoice.issueDate)
        block.line("data", *invoice.issueDate);
    if (const auto& sold = invoice.saleDate    ? invoice.saleDate
                           : invoice.periodEnd ? invoice.periodEnd
                                               : invoice.issueDate)
        block.line("datasp", *sold);
    block.line("opis", invoice.firstItem.value_or(QString()));
    if (party.name)
        block.line("khnazwa", *party.name);
    QString address = party.addressLine1;
    if (!party.addressLine2.isEmpty())
        address += u' ' + party.addressLine2;
    block.line("khadres", address);
    // The address is whole in its first line: the parts the mapping adds to it stay empty.
    for (const char* key : {"khdom", "khlokal", "khmiasto", "khkodpocz"})
        block.line(key, QByteArray());
    block.line("khnip", partyId(party));
    block.line("plattermin", invoice.firstDueDate.value_or(QString()));

    qint64 net = 0;
    qint64 vat = 0;
    qint64 notSubject = 0;
    QList<QByteArray> registers;
    for (const RateGroup& group : RateGroups) {
        qint64 groupNet = 0;
        for (const A part : group.net)
            groupNet += invoice.amount(part);
        const qint64 groupVat = group.vat == A::Count ? 0 : invoice.amount(group.vat);
        if (groupNet == 0 && groupVat == 0)
            continue;
        net += groupNet;
        vat += groupVat;
        registers << "Rejestr{" << QByteArray("\tstawka = ") + group.rate
                  << "\tnetto = " + amountText(registerSign * groupNet)
                  << "\tvat = " + amountText(registerSign * groupVat) << "}";
    }
    for (const A part : NotSubject)
        notSubject += invoice.amount(part);
    net += notSubject;
    block.line("netto", amountText(net));
    block.line("vat", amountText(vat));
    block.line("typ_rejestru_vat", QByteArray("1"));
    for (const QByteArray& line : registers)
        block.add(line);
    document.notSubjectNet = double(registerSign * notSubject) / 100.0;

    if (invoice.kind == u"KOR")
        document.remarks << QStringLiteral("korekta");
    if (invoice.amount(A::P13_5) != 0)
        document.remarks << QStringLiteral("OSS");
    if (block.foreign())
        document.remarks << QStringLiteral("znaki spoza strony kodowej");
    document.skipReason = skipReasonOf(invoice);
    return document;
}

} // namespace przenosnik
