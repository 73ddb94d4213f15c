#include "support/ConversionTestHost.h"

#include "encoding/Windows1250.h"

namespace przenosnik::test {

QByteArray exportBytes(const QString& text)
{
    QString withCrLf = text;
    withCrLf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return encodeWindows1250(withCrLf);
}

QString documentBlock(const Invoice& invoice, const QString& registerPart)
{
    QString block = QStringLiteral("Dokument{\n");
    const auto line = [&block](const QString& key, const QString& value) {
        block += QLatin1Char('\t') + key + QStringLiteral(" = ") + value + QLatin1Char('\n');
    };
    line(QStringLiteral("anulowany"), QString::number(invoice.cancelled));
    line(QStringLiteral("rodzaj_dok"), invoice.kind);
    line(QStringLiteral("kod"), invoice.number);
    line(QStringLiteral("data"), invoice.date);
    line(QStringLiteral("datasp"), invoice.saleDate);
    line(QStringLiteral("opis"), invoice.description);
    line(QStringLiteral("khnazwa"), invoice.name);
    line(QStringLiteral("khadres"), invoice.street);
    line(QStringLiteral("khdom"), invoice.house);
    line(QStringLiteral("khlokal"), invoice.flat);
    line(QStringLiteral("khmiasto"), invoice.town);
    line(QStringLiteral("khkodpocz"), invoice.postalCode);
    line(QStringLiteral("khnip"), invoice.nip);
    line(QStringLiteral("plattermin"), invoice.dueDate);
    line(QStringLiteral("netto"), invoice.net);
    line(QStringLiteral("vat"), invoice.vat);
    line(QStringLiteral("typ_rejestru_vat"), invoice.vatRegisterType);
    block += registerPart;
    block += QStringLiteral("}\n");
    return block;
}

QString registerBlock(const QString& rate, const QString& net, const QString& vat, bool numbered)
{
    const QString n = numbered ? QStringLiteral("1") : QString();
    return QStringLiteral("\tRejestr{\n\t\tstawka%1 = %2\n\t\tnetto%1 = %3\n\t\tvat%1 = %4\n\t}\n")
        .arg(n, rate, net, vat);
}

QString exportHeader(const QString& version)
{
    return QStringLiteral("Eksport dokumentów - SAGE Symfonia Handel\n"
                          "Data eksportu = 2014-04-01\n"
                          "Wersja szablonu = %1\n")
        .arg(version);
}

} // namespace przenosnik::test

namespace przenosnik::test {

QString zl(const QString& amount)
{
    return amount + QStringLiteral(" zł");
}

} // namespace przenosnik::test
