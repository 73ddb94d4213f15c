// KSeF invoices: what the reader refuses, the company's side, and the
// equivalence with the sales program's export of the same purchase.
#include "support/ConversionTestHost.h"
#include "support/TestSupport.h"

#include "conversion/KsefInvoice.h"
#include "conversion/KsefInvoiceBlock.h"
#include "conversion/KsefRun.h"
#include "conversion/RunConversion.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace przenosnik;
using przenosnik::test::readFile;

namespace {

QString sample(const char* name)
{
    return QStringLiteral(PRZENOSNIK_TEST_DATA "/ksef/") + QString::fromLatin1(name);
}

constexpr char Purchase[] = "5260250274-20260311-4A5B6C7D8E9F-9A.xml";

const QByteArray Fa3Start = "<Faktura xmlns=\"http://crd.gov.pl/wzor/2025/06/25/13775/\">";

// The month file a real run of the input writes, with the company NIP given.
QByteArray bookedMonth(const QString& input, const QString& nip)
{
    QTemporaryDir company;
    ConversionSettings settings;
    settings.exportFile = input;
    settings.companyDirectory = company.path();
    settings.companyNip = nip;
    settings.keepJournal = false;
    test::RecordingHost host;
    if (RunConversion(settings, host) != RunOutcome::Completed || host.documentCount != 1)
        return {};
    return readFile(QDir(company.path()).filePath(QStringLiteral("2026T305.3")));
}

} // namespace

class KsefInvoices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rejectedFiles_data();
    void rejectedFiles();
    void amounts_data();
    void amounts();
    void companySide_data();
    void companySide();
    void ksefNumber_data();
    void ksefNumber();
    void purchaseEqualsExportedPurchase();
};

void KsefInvoices::rejectedFiles_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("rejection");
    QTest::newRow("empty file") << QByteArray() << "błędny XML (wiersz 1)";
    QTest::newRow("not XML") << QByteArray("%PDF-1.4\n") << "błędny XML (wiersz 1)";
    QTest::newRow("unclosed root") << QByteArray("<?xml version=\"1.0\"?>\n") + Fa3Start + "\n<Fa>\n"
                                   << "błędny XML (wiersz 4)"; // where the file ends
    QTest::newRow("DOCTYPE") << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE Faktura [<!ENTITY x SYSTEM "
                                           "\"http://example.com/x\">]>\n") +
                                    Fa3Start + "&x;</Faktura>"
                             << "błędny XML (wiersz 2)";
    QTest::newRow("another root") << QByteArray(
                                         "<Zamowienie xmlns=\"http://crd.gov.pl/wzor/2025/06/25/13775/\"/>")
                                  << "to nie jest faktura KSeF";
    QTest::newRow("root without namespace") << QByteArray("<Faktura/>") << "to nie jest faktura KSeF";
    QTest::newRow("namespace of another form")
        << QByteArray("<Faktura xmlns=\"http://crd.gov.pl/wzor/2021/11/29/11089/\"/>")
        << "to nie jest faktura KSeF";
    QTest::newRow("namespace with a trailing blank")
        << QByteArray("<Faktura xmlns=\"http://crd.gov.pl/wzor/2025/06/25/13775/ \"/>")
        << "to nie jest faktura KSeF";
    QTest::newRow("amount with a comma") << Fa3Start + "<Fa><P_13_1>10,00</P_13_1></Fa></Faktura>"
                                         << "błędna kwota P_13_1 (wiersz 1)";
    QTest::newRow("amount of three decimals") << Fa3Start + "<Fa>\n<P_14_2>1.005</P_14_2></Fa></Faktura>"
                                              << "błędna kwota P_14_2 (wiersz 2)";
    QTest::newRow("over 10 MB") << Fa3Start + QByteArray(MaxKsefInvoiceSize, ' ') + "</Faktura>"
                                << "plik większy niż 10 MB";
    QTest::newRow("a whole invoice") << readFile(sample(Purchase)) << QString();
}

void KsefInvoices::rejectedFiles()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, rejection);
    const KsefReading reading = readKsefInvoice(xml);
    QCOMPARE(reading.rejection, rejection);
    QCOMPARE(reading.invoice.has_value(), rejection.isEmpty());
}

void KsefInvoices::amounts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("grosze");
    QTest::addColumn<bool>("valid");
    QTest::newRow("whole") << "12" << qint64(1200) << true;
    QTest::newRow("one decimal") << "0.5" << qint64(50) << true;
    QTest::newRow("negative") << "-1234.56" << qint64(-123456) << true;
    QTest::newRow("sixteen digits") << "9999999999999999.99" << qint64(999999999999999999) << true;
    QTest::newRow("seventeen digits") << "10000000000000000" << qint64(0) << false;
    QTest::newRow("point without decimals") << "5." << qint64(0) << false;
    QTest::newRow("plus sign") << "+5" << qint64(0) << false;
    QTest::newRow("exponent") << "1e3" << qint64(0) << false;
    QTest::newRow("empty") << "" << qint64(0) << false;
}

void KsefInvoices::amounts()
{
    QFETCH(QString, text);
    QFETCH(qint64, grosze);
    QFETCH(bool, valid);
    const auto amount = parseKsefAmount(text);
    QCOMPARE(amount.has_value(), valid);
    if (valid)
        QCOMPARE(*amount, grosze);
}

void KsefInvoices::companySide_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("company");
    const QStringList folder = ksefFiles(QStringLiteral(PRZENOSNIK_TEST_DATA "/ksef"));
    QStringList ours = folder.filter(QStringLiteral("6761011234-"));
    QTest::newRow("given wins") << folder << "7252003344"
                                << "7252003344";
    QTest::newRow("the one NIP in every invoice") << ours << ""
                                                  << "6761011234";
    QTest::newRow("another company's invoice among them") << folder << ""
                                                          << "";
    QTest::newRow("one invoice with two NIPs") << QStringList{sample(Purchase)} << ""
                                               << "";
    QTest::newRow("a buyer without NIP")
        << QStringList{sample("6761011234-20260306-2A3B4C5D6E7F-56.xml")} << ""
        << "6761011234";
    QTest::newRow("no invoice at all") << QStringList{sample("zamowienie.xml")} << ""
                                       << "";
}

void KsefInvoices::companySide()
{
    QFETCH(QStringList, files);
    QFETCH(QString, given);
    QFETCH(QString, company);
    QList<KsefFile> read;
    for (const QString& file : files)
        read.append(readKsefFile(file));
    QCOMPARE(ksefCompanyNip(read, given), company);
}

void KsefInvoices::ksefNumber_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("number");
    QTest::newRow("the whole name") << "5260250274-20260311-4A5B6C7D8E9F-9A.xml"
                                    << "5260250274-20260311-4A5B6C7D8E9F-9A";
    QTest::newRow("inside a longer name") << "FA_5260250274-20260311-4a5b6c7d8e9f-9a (1).xml"
                                          << "5260250274-20260311-4a5b6c7d8e9f-9a";
    QTest::newRow("eleven digits") << "15260250274-20260311-4A5B6C7D8E9F-9A.xml"
                                   << "";
    QTest::newRow("three hex digits at the end") << "5260250274-20260311-4A5B6C7D8E9F-9AB.xml"
                                                 << "";
    QTest::newRow("no number") << "faktura.xml"
                               << "";
}

void KsefInvoices::ksefNumber()
{
    QFETCH(QString, name);
    QFETCH(QString, number);
    QCOMPARE(ksefNumberIn(name), number);
}

// The purchase invoice and the same purchase as the sales program exports it
// (header amounts as they stand, register lines negated) give the same entry.
void KsefInvoices::purchaseEqualsExportedPurchase()
{
    const QString exported = QStringLiteral(
        "Info{\n\tNazwa programu =SAGE Symfonia\n\tWersja szablonu =3\n}\n"
        "Dokument{\n\tanulowany = 0\n\trodzaj_dok = zakupu\n\tsymbol_dok = FZ\n\tkod = HP/0311/2026\n"
        "\tdata = 2026-03-11\n\tdatasp = 2026-03-11\n\topis = Papier ksero A4\n"
        "\tkhnazwa = Hurtownia Papieru Źródło Sp. z o.o.\n\tkhadres = ul. Grzybowska 80/82 00-844 Warszawa\n"
        "\tkhdom = \n\tkhlokal = \n\tkhmiasto = \n\tkhkodpocz = \n\tkhnip = 5260250274\n"
        "\tplattermin = 2026-03-25\n\twaluta = PLN\n\tnetto = 250.00\n\tvat = 50.00\n\tbrutto = 300.00\n"
        "\ttyp_rejestru_vat = 1\n"
        "\tRejestr{\n\t\tstawka = 23\n\t\tnetto = -200.00\n\t\tvat = -46.00\n\t\tbrutto = -246.00\n\t}\n"
        "\tRejestr{\n\t\tstawka = 8\n\t\tnetto = -50.00\n\t\tvat = -4.00\n\t\tbrutto = -54.00\n\t}\n}\n");
    QTemporaryDir scratch;
    const QString exportFile = scratch.filePath(QStringLiteral("FVS0326.TXT"));
    QFile file(exportFile);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(test::exportBytes(exported)) > 0);
    file.close();

    const QByteArray fromExport = bookedMonth(exportFile, QString());
    QCOMPARE(fromExport.size(), 400);
    PRZ_COMPARE_BYTES(bookedMonth(sample(Purchase), QStringLiteral("6761011234")), fromExport);
}

QTEST_GUILESS_MAIN(KsefInvoices)
#include "test_ksef_invoices.moc"
