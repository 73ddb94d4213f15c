// One document block into one ledger entry: the rate groups of both layouts,
// the sum checks, purchases and documents without VAT part.
#include "conversion/TraceFormat.h"

#include "support/ConversionTestHost.h"
#include "support/MappingFixture.h"
#include "support/TestSupport.h"

#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

Invoice purchase()
{
    Invoice invoice;
    invoice.kind = QStringLiteral("zakupu");
    return invoice;
}

} // namespace

class DocumentMappingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void salesDocumentWholeRecord()
    {
        Mapping m(documentBlock(Invoice(), registerBlock("23", "100.00", "23.00")));
        QVERIFY(m.blockAccepted);
        QVERIFY(m.accepted);
        QCOMPARE(m.host.trace,
                 (QStringList{QStringLiteral("* Dokument nr:FV 1/03/2014 | Firma:Zakład Usługowy \"Żuraw\" | "
                                             "NIP:677-001-02-03"),
                              QStringLiteral("  Kraków Długa 5 3"),
                              QStringLiteral(" z dnia 12- 3-2014 na kwotę netto=") + zl("100,00") +
                                  QStringLiteral(", vat=") + zl("23,00")}));

        // The record built byte by byte from its published offsets.
        QByteArray expected(400, '\0');
        const auto put = [&expected](int offset, const QByteArray& bytes) {
            expected.replace(offset, bytes.size(), bytes);
        };
        const auto shortString = [&put](int offset, const QByteArray& bytes) {
            put(offset, char(bytes.size()) + bytes);
        };
        const auto real = [&put](int offset, double value) {
            QByteArray bytes(8, '\0');
            memcpy(bytes.data(), &value, 8); // little-endian machine
            put(offset, bytes);
        };
        const QByteArray march12("\x0c\x03\xde\x07", 4);
        put(10, march12);
        put(14, march12);
        put(18, march12);
        put(22, QByteArray("\x0b\x03\xde\x07", 4));
        shortString(32, "FV 1/03/2014");
        shortString(55, "677-001-02-03");
        shortString(74, "Zak\x88"
                        "ad Us\x88ugowy \"\xbduraw\"");
        shortString(111, "Krak\xa2w D\x88uga 5 3");
        shortString(148, "Sprzeda\xbe towar\xa2w");
        put(206, QByteArray("\x1a\x03\xde\x07", 4));
        put(237, "\x03");
        put(242, "\x01");
        real(248, 100.0);
        real(256, 23.0);
        put(352, QByteArray("\xfc\x08", 2)); // 2300
        put(367, "\x02");
        put(368, "\x07");
        real(369, 100.0);
        PRZ_COMPARE_BYTES(m.run.entry.bytes(), expected);
    }

    void rateGroups_data()
    {
        QTest::addColumn<QString>("registers");
        QTest::addColumn<QString>("headerNet");
        QTest::addColumn<QString>("headerVat");
        QTest::addColumn<QList<double>>("groups"); // Netto1 Vat1 Netto2 Vat2 Netto3 Vat3 Netto0 NettoWolne
        QTest::addColumn<QList<int>>("rates");     // Stawka1 Stawka2 Stawka3
        QTest::addColumn<double>("kol1");
        QTest::addColumn<QStringList>("messages");
        using D = QList<double>;
        using I = QList<int>;
        QTest::newRow("two at 23, one at 8")
            << registerBlock("23", "100", "23") + registerBlock("23", "50", "11.5") +
                   registerBlock("8", "10", "0.8")
            << "160"
            << "23" << D{150, 34.5, 10, 0.8, 0, 0, 0, 0} << I{2300, 800, 0} << 160.0 << QStringList{VatError};
        QTest::newRow("exempt and zero rate drop their VAT")
            << registerBlock("-1", "40", "9") + registerBlock("0", "60", "9") << "100"
            << "18" << D{0, 0, 0, 0, 0, 0, 60, 40} << I{0, 0, 0} << 100.0 << QStringList{VatError};
        QTest::newRow("rate 6 belongs nowhere")
            << registerBlock("23", "100", "23") + registerBlock("6", "10", "0.6") << "110"
            << "23.6" << D{100, 23, 0, 0, 0, 0, 0, 0} << I{2300, 0, 0} << 100.0
            << QStringList{QStringLiteral("Nieokreślona stawka VAT = 6,00"), NetError,
                           QStringLiteral("kol[1].W=") + zl("110,00") + QStringLiteral(", SumaVgStawek=") +
                               zl("100,00"),
                           VatError};
        QTest::newRow("group edges and the last rate word")
            << registerBlock("22", "1", "0.25") + registerBlock("24", "2", "0.5") +
                   registerBlock("7", "3", "0") + registerBlock("9", "4", "0") +
                   registerBlock("3", "5", "0") + registerBlock("5", "6", "0.25")
            << "21"
            << "23" << D{3, 0.75, 7, 0, 11, 0.25, 0, 0} << I{2400, 900, 500} << 21.0 << QStringList{VatError};
        QTest::newRow("between groups")
            << registerBlock("10", "1", "0") + registerBlock("2.5", "1", "0") + registerBlock("-2", "1", "0")
            << "0"
            << "0.5" << D{0, 0, 0, 0, 0, 0, 0, 0} << I{0, 0, 0} << 0.0
            << QStringList{QStringLiteral("Nieokreślona stawka VAT = 10,00"),
                           QStringLiteral("Nieokreślona stawka VAT = 2,50"),
                           QStringLiteral("Nieokreślona stawka VAT = -2,00"), VatError};
        QTest::newRow("rate word rounds halves to even")
            << registerBlock("22.125", "1", "0.25") + registerBlock("8.375", "2", "0") << "3"
            << "0.25" << D{1, 0.25, 2, 0, 0, 0, 0, 0} << I{2212, 838, 0} << 3.0 << QStringList{};
        // A block without its rate key loses the rest of the document: its
        // amounts are never read and the previous block's are added again.
        QTest::newRow("a block without its rate key repeats the previous block")
            << registerBlock("8", "10", "0.5") + "\tRejestr{\n\t\tnetto = 20\n\t\tvat = 1.5\n\t}\n"
            << "30"
            << "2" << D{0, 0, 20, 1, 0, 0, 0, 0} << I{0, 800, 0} << 20.0
            << QStringList{QStringLiteral("* nie odnaleziono \"}\""), NetError,
                           QStringLiteral("kol[1].W=") + zl("30,00") + QStringLiteral(", SumaVgStawek=") +
                               zl("20,00"),
                           VatError};
        QTest::newRow("a first block without its rate key adds nothing")
            << "\tRejestr{\n\t\tnetto = 20\n\t\tvat = 1.6\n\t}\n"
            << "20"
            << "1.6" << D{0, 0, 0, 0, 0, 0, 0, 0} << I{0, 0, 0} << 0.0
            << QStringList{QStringLiteral("* nie odnaleziono \"}\""), NetError,
                           QStringLiteral("kol[1].W=") + zl("20,00") + QStringLiteral(", SumaVgStawek=") +
                               zl("0,00"),
                           VatError};
        QTest::newRow("no register block at all")
            << ""
            << "100"
            << "23" << D{0, 0, 0, 0, 0, 0, 0, 0} << I{0, 0, 0} << 0.0
            << QStringList{NetError,
                           QStringLiteral("kol[1].W=") + zl("100,00") + QStringLiteral(", SumaVgStawek=") +
                               zl("0,00"),
                           VatError};
        QTest::newRow("no register block, tiny header net")
            << ""
            << "0.02"
            << "-0.02" << D{0, 0, 0, 0, 0, 0, 0, 0} << I{0, 0, 0} << 0.02 << QStringList{};
    }
    void rateGroups()
    {
        QFETCH(QString, registers);
        QFETCH(QString, headerNet);
        QFETCH(QString, headerVat);
        QFETCH(QList<double>, groups);
        QFETCH(QList<int>, rates);
        QFETCH(double, kol1);
        QFETCH(QStringList, messages);
        Invoice invoice;
        invoice.net = headerNet;
        invoice.vat = headerVat;
        Mapping m(documentBlock(invoice, registers));
        QVERIFY(m.accepted);
        const QList<double> actual{m.real(field::Netto1), m.real(field::Vat1),      m.real(field::Netto2),
                                   m.real(field::Vat2),   m.real(field::Netto3),    m.real(field::Vat3),
                                   m.real(field::Netto0), m.real(field::NettoWolne)};
        QCOMPARE(actual, groups);
        QCOMPARE((QList<int>{m.int16(field::Stawka1), m.int16(field::Stawka2), m.int16(field::Stawka3)}),
                 rates);
        QCOMPARE(m.real(field::Kol1W), kol1);
        QCOMPARE(m.real(field::Kol2W), 0.0);
        QCOMPARE(m.real(field::Netto4) + m.real(field::Vat4) + m.real(field::NettoNieop), 0.0);
        QCOMPARE(m.byte(field::EntryKind), 3);
        QCOMPARE(m.messages(), messages);
    }

    void sumCheckInWholeGrosze_data()
    {
        QTest::addColumn<QString>("headerNet");
        QTest::addColumn<QString>("registerNet");
        QTest::addColumn<QString>("headerVat");
        QTest::addColumn<QString>("registerVat");
        QTest::addColumn<bool>("netReported");
        QTest::addColumn<bool>("vatReported");
        QTest::newRow("equal") << "100.00"
                               << "100.00"
                               << "23.00"
                               << "23.00" << false << false;
        QTest::newRow("0.02 passes") << "100.02"
                                     << "100.00"
                                     << "23.02"
                                     << "23.00" << false << false;
        QTest::newRow("0.02 the other way") << "100.00"
                                            << "100.02"
                                            << "23.00"
                                            << "23.02" << false << false;
        QTest::newRow("239.02 against 239.00") << "239.02"
                                               << "239.00"
                                               << "54.99"
                                               << "54.97" << false << false;
        QTest::newRow("0.03 is reported") << "100.03"
                                          << "100.00"
                                          << "23.00"
                                          << "23.03" << true << true;
        QTest::newRow("239.03 against 239.00") << "239.03"
                                               << "239.00"
                                               << "54.97"
                                               << "54.97" << true << false;
        QTest::newRow("1234567.89 against 1234567.87") << "1234567.89"
                                                       << "1234567.87"
                                                       << "0"
                                                       << "0" << false << false;
        QTest::newRow("large and 0.03 apart") << "1234567.90"
                                              << "1234567.87"
                                              << "0"
                                              << "0" << true << false;
    }
    void sumCheckInWholeGrosze()
    {
        QFETCH(QString, headerNet);
        QFETCH(QString, registerNet);
        QFETCH(QString, headerVat);
        QFETCH(QString, registerVat);
        QFETCH(bool, netReported);
        QFETCH(bool, vatReported);
        Invoice invoice;
        invoice.net = headerNet;
        invoice.vat = headerVat;
        Mapping m(documentBlock(invoice, registerBlock("23", registerNet, registerVat)));
        QVERIFY(m.accepted);
        QStringList expected;
        if (netReported) {
            expected << NetError
                     << QStringLiteral("kol[1].W=%1, SumaVgStawek=%2")
                            .arg(formatMoney(headerNet.toDouble()), formatMoney(registerNet.toDouble()));
        }
        if (vatReported)
            expected << VatError;
        QCOMPARE(m.messages(), expected);
        // A reported net difference puts the sum of the groups in its place.
        QCOMPARE(m.real(field::Kol1W), (netReported ? registerNet : headerNet).toDouble());
        QCOMPARE(m.real(field::Vat1), registerVat.toDouble());
        QCOMPARE(m.real(field::Kol2W), 0.0);
    }

    void purchaseNegatesTheHeaderOnly()
    {
        Mapping m(documentBlock(purchase(), registerBlock("23", "100.00", "23.00")));
        QVERIFY(m.accepted);
        QCOMPARE(m.byte(field::RegisterKind), 7);
        QCOMPARE(m.byte(field::Kol1Nr), 10);
        QCOMPARE(m.host.trace.at(2), QStringLiteral(" z dnia 12- 3-2014 na kwotę netto=-") + zl("100,00") +
                                         QStringLiteral(", vat=-") + zl("23,00"));
        QCOMPARE(m.messages(), (QStringList{NetError,
                                            QStringLiteral("kol[1].W=-") + zl("100,00") +
                                                QStringLiteral(", SumaVgStawek=") + zl("100,00"),
                                            VatError}));
        QCOMPARE(m.real(field::Kol1W), 100.0);
        QCOMPARE(m.real(field::Netto1), 100.0);

        // Register amounts exported negative agree with the negated header.
        Mapping n(documentBlock(purchase(), registerBlock("23", "-100.00", "-23.00")));
        QVERIFY(n.messages().isEmpty());
        QCOMPARE(n.real(field::Kol1W), -100.0);
        QCOMPARE(n.real(field::Vat1), -23.0);
    }

    void purchaseWithZeroNetStoresNegativeZero()
    {
        Invoice invoice = purchase();
        invoice.net = QStringLiteral("0");
        invoice.vat = QStringLiteral("0");
        invoice.vatRegisterType = QStringLiteral("0");
        ConversionSettings settings;
        settings.szablon31 = false;
        Mapping m(documentBlock(invoice, QString()), settings);
        // -0 + -0 is -0: the sign bit of kol[1].W is set, as the negation gives.
        QCOMPARE(m.run.entry.bytes().mid(field::Kol1W.offset, 8), QByteArray("\0\0\0\0\0\0\0\x80", 8));
    }

    void documentWithoutVatPart_data()
    {
        QTest::addColumn<QString>("typeLine");
        QTest::addColumn<bool>("szablon31");
        QTest::addColumn<bool>("withoutVat");
        QTest::newRow("type 0, Szablon 3.1 off") << "0" << false << true;
        QTest::newRow("type 0, Szablon 3.1 on") << "0" << true << false;
        QTest::newRow("type 1, Szablon 3.1 off") << "1" << false << false;
        QTest::newRow("type not a number, Szablon 3.1 off") << "x" << false << true;
    }
    void documentWithoutVatPart()
    {
        QFETCH(QString, typeLine);
        QFETCH(bool, szablon31);
        QFETCH(bool, withoutVat);
        Invoice invoice;
        invoice.vatRegisterType = typeLine;
        ConversionSettings settings;
        settings.szablon31 = szablon31;
        const QString registers =
            szablon31 ? registerBlock("23", "100.00", "23.00") : registerBlock("23", "100.00", "23.00", true);
        Mapping m(documentBlock(invoice, registers), settings);
        QVERIFY(m.accepted);
        if (withoutVat) {
            QCOMPARE(m.messages(), QStringList{QStringLiteral("dokument bez części VAT !")});
            QCOMPARE(m.real(field::Kol1W), 123.0);
            QCOMPARE(m.byte(field::EntryKind), 1);
            QCOMPARE(m.byte(field::RegisterKind), 0);
            QCOMPARE(m.byte(field::Kol1Nr), 7);
            QCOMPARE(m.real(field::Netto1), 0.0);
            QCOMPARE(m.int16(field::Stawka1), 0);
        } else {
            QVERIFY(m.messages().isEmpty());
            QCOMPARE(m.real(field::Kol1W), 100.0);
            QCOMPARE(m.byte(field::EntryKind), 3);
            QCOMPARE(m.byte(field::RegisterKind), 1);
            QCOMPARE(m.real(field::Netto1), 100.0);
            QCOMPARE(m.int16(field::Stawka1), 2300);
        }
        QCOMPARE(m.real(field::Kol2W), 0.0);
    }

    void numberedKeysOfTheNewerLayout()
    {
        ConversionSettings settings;
        settings.szablon31 = false;
        Invoice invoice;
        invoice.net = QStringLiteral("150");
        invoice.vat = QStringLiteral("27");
        Mapping m(documentBlock(invoice,
                                registerBlock("23", "100", "23", true) + registerBlock("8", "50", "4", true)),
                  settings);
        QVERIFY(m.accepted);
        QVERIFY(m.messages().isEmpty());
        QCOMPARE(m.real(field::Netto1), 100.0);
        QCOMPARE(m.real(field::Netto2), 50.0);
        QCOMPARE(m.int16(field::Stawka2), 800);

        // Unnumbered keys are not what this setting reads: no rate, no amounts.
        Mapping n(documentBlock(invoice, registerBlock("23", "100", "23")), settings);
        QCOMPARE(n.real(field::Netto0), 0.0);
        QCOMPARE(n.real(field::Netto1), 0.0);
        QCOMPARE(n.real(field::Kol1W), 0.0);
        QCOMPARE(n.messages().mid(0, 2), (QStringList{QStringLiteral("* nie odnaleziono \"}\""), NetError}));
    }

    void olderLayout()
    {
        ConversionSettings settings;
        settings.sym2006 = false;
        settings.szablon31 = false;
        Invoice invoice;
        invoice.net = QStringLiteral("1183");
        invoice.vat = QStringLiteral("163.88");
        const QString registers = QStringLiteral("\tRejestr{\n"
                                                 "\t\tnetto1 = 100\n\t\tvat1 = 22\n\t\tstawka1 = 22\n"
                                                 "\t\tnetto2 = 20\n\t\tvat2 = 1.4\n\t\tstawka2 = 7\n"
                                                 "\t\tnetto3 = 30\n\t\tvat3 = 0.9\n\t\tstawka3 = 3\n"
                                                 "\t\tnetto4 = 1000\n\t\tvat4 = 139.58\n\t\tstawka4 = 14\n"
                                                 "\t\tnetto0 = 8\n\t\tnettoWolne = 10\n\t\tnettoNieop = 15\n"
                                                 "\t}\n");
        Mapping m(documentBlock(invoice, registers), settings);
        QVERIFY(m.accepted);
        QVERIFY(m.messages().isEmpty());
        QCOMPARE(m.real(field::Netto1), 100.0);
        QCOMPARE(m.real(field::Vat1), 22.0);
        QCOMPARE(m.real(field::Netto2), 20.0);
        QCOMPARE(m.real(field::Vat2), 1.4);
        QCOMPARE(m.real(field::Netto3), 30.0);
        QCOMPARE(m.real(field::Vat3), 0.9);
        QCOMPARE(m.real(field::Netto4), 1000.0);
        QCOMPARE(m.real(field::Vat4), 139.58);
        QCOMPARE(m.real(field::Netto0), 8.0);
        QCOMPARE(m.real(field::NettoWolne), 10.0);
        QCOMPARE(m.real(field::NettoNieop), 15.0);
        QCOMPARE(m.int16(field::Stawka1) + m.int16(field::Stawka2) + m.int16(field::Stawka3), 0);
        QCOMPARE(m.real(field::Kol1W), 1183.0);
    }

    void olderLayoutMisplacedAndMissingGroups()
    {
        ConversionSettings settings;
        settings.sym2006 = false;
        Invoice invoice;
        invoice.net = QStringLiteral("0");
        invoice.vat = QStringLiteral("0");
        // Group 1 at the wrong rate stays zero; group 3 at any rate is taken
        // when its amounts are not zero; group 4 with zero amounts is not.
        const QString registers = QStringLiteral("\tRejestr{\n"
                                                 "\t\tnetto1 = 100\n\t\tvat1 = 23\n\t\tstawka1 = 23\n"
                                                 "\t\tnetto2 = 0\n\t\tvat2 = 0\n\t\tstawka2 = 7\n"
                                                 "\t\tnetto3 = 50\n\t\tvat3 = 4\n\t\tstawka3 = 8\n"
                                                 "\t\tnetto4 = 0\n\t\tvat4 = 0\n\t\tstawka4 = 5\n"
                                                 "\t}\n");
        Mapping m(documentBlock(invoice, registers), settings);
        QVERIFY(m.accepted);
        QCOMPARE(m.messages(), (QStringList{QStringLiteral("stawka 22% - nie na swoim miejscu !"), NetError,
                                            QStringLiteral("kol[1].W=") + zl("0,00") +
                                                QStringLiteral(", SumaVgStawek=") + zl("50,00"),
                                            VatError}));
        QCOMPARE(m.real(field::Netto1), 0.0);
        QCOMPARE(m.real(field::Vat1), 0.0);
        QCOMPARE(m.real(field::Netto3), 50.0);
        QCOMPARE(m.real(field::Vat3), 4.0);
        QCOMPARE(m.real(field::Netto4), 0.0);
        QCOMPARE(m.real(field::Kol1W), 50.0);

        // A group without its amount keys loses every later group.
        Mapping lost(documentBlock(invoice, QStringLiteral("\tRejestr{\n\t\tnetto1 = 10\n\t\tvat1 = 2.2\n"
                                                           "\t\tstawka1 = 22\n\t\tstawka2 = 7\n"
                                                           "\t\tnetto3 = 5\n\t\tvat3 = 1\n\t\tstawka3 = 5\n"
                                                           "\t\tnettoWolne = 3\n\t}\n")),
                     settings);
        QCOMPARE(lost.real(field::Netto1), 10.0);
        QCOMPARE(lost.real(field::Netto2), 0.0);
        QCOMPARE(lost.real(field::Netto3), 0.0);
        QCOMPARE(lost.real(field::NettoWolne), 0.0);
        QCOMPARE(lost.real(field::Kol1W), 10.0);

        // A second group at a rate other than 7 is reported and stays zero.
        Mapping n(documentBlock(invoice,
                                QStringLiteral("\tRejestr{\n\t\tnetto1 = 0\n\t\tvat1 = 0\n\t\tstawka1 = 22\n"
                                               "\t\tnetto2 = 5\n\t\tvat2 = 0.4\n\t\tstawka2 = 8\n\t}\n")),
                  settings);
        QVERIFY(!n.messages().isEmpty());
        QCOMPARE(n.messages().first(), QStringLiteral("stawka 7% - nie na swoim miejscu !"));
        QCOMPARE(n.real(field::Netto2), 0.0);

        // A VAT amount alone is enough for the third and fourth groups.
        Mapping vatOnly(
            documentBlock(invoice, QStringLiteral("\tRejestr{\n"
                                                  "\t\tnetto1 = 0\n\t\tvat1 = 0\n\t\tstawka1 = 22\n"
                                                  "\t\tnetto2 = 0\n\t\tvat2 = 0\n\t\tstawka2 = 7\n"
                                                  "\t\tnetto3 = 0\n\t\tvat3 = 1.5\n\t\tstawka3 = 5\n"
                                                  "\t\tnetto4 = 0\n\t\tvat4 = 2.5\n\t\tstawka4 = 7\n\t}\n")),
            settings);
        QCOMPARE(vatOnly.real(field::Netto3), 0.0);
        QCOMPARE(vatOnly.real(field::Vat3), 1.5);
        QCOMPARE(vatOnly.real(field::Vat4), 2.5);
    }

    void olderLayoutWithoutRegisterIsRefused()
    {
        ConversionSettings settings;
        settings.sym2006 = false;
        Mapping m(documentBlock(Invoice(), QString()), settings);
        QVERIFY(!m.accepted);
        QCOMPARE(m.messages(), (QStringList{QStringLiteral("* nie odnaleziono \"Rejestr{\""), NetError,
                                            QStringLiteral("kol[1].W=") + zl("100,00") +
                                                QStringLiteral(", SumaVgStawek=") + zl("0,00"),
                                            VatError}));
    }
};

QTEST_GUILESS_MAIN(DocumentMappingTest)
#include "test_document_mapping.moc"
