// One document block into one ledger entry: required keys, the address, the
// texts and their conversion, the default description and the letters.
#include "support/ConversionTestHost.h"
#include "support/MappingFixture.h"
#include "support/TestSupport.h"

#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

class DocumentFieldsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingKeyLosesTheRest()
    {
        Invoice invoice;
        QString block = documentBlock(invoice, registerBlock("23", "100.00", "23.00"));
        block.remove(QStringLiteral("\topis = Sprzedaż towarów\n"));
        ConversionSettings settings;
        settings.postalCode = true;
        Mapping m(block, settings);
        QVERIFY(!m.accepted);
        QStringList expected;
        for (const char* key : {"opis =", "khnazwa =", "khadres =", "khdom =", "khlokal =", "khmiasto =",
                                "khkodpocz =", "khnip ="})
            expected << QStringLiteral("* nie odnaleziono \"%1\"").arg(QLatin1String(key));
        expected << QStringLiteral("* Dokument nr:FV 1/03/2014 | Firma: | NIP:") << QStringLiteral("  ")
                 << QStringLiteral(" z dnia 12- 3-2014 na kwotę netto=") + zl("0,00") +
                        QStringLiteral(", vat=") + zl("0,00");
        QCOMPARE(m.host.trace, expected);
    }

    void requiredKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("postalCode");
        // Keys in front of a required key are needed too: a missing one takes
        // the lookup to the end of the block.
        for (const char* key :
             {"kod", "data", "datasp", "opis", "khnazwa", "khadres", "khdom", "khlokal", "khmiasto", "khnip"})
            QTest::newRow(key) << QString::fromLatin1(key) << false << true;
        QTest::newRow("khkodpocz looked up") << "khkodpocz" << false << true;
        QTest::newRow("khkodpocz not looked up") << "khkodpocz" << true << false;
        for (const char* key : {"plattermin", "netto", "vat", "typ_rejestru_vat"})
            QTest::newRow(key) << QString::fromLatin1(key) << true << true;
    }
    void requiredKeys()
    {
        // The key's line is renamed, so the lookup runs to the end of the block.
        QFETCH(QString, key);
        QFETCH(bool, accepted);
        QFETCH(bool, postalCode);
        QString block = documentBlock(Invoice(), QString());
        block.replace(QLatin1Char('\t') + key + QStringLiteral(" = "), QStringLiteral("\tinny = "));
        ConversionSettings settings;
        settings.postalCode = postalCode;
        Mapping m(block, settings);
        QCOMPARE(m.accepted, accepted);
    }

    void address_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("postalCode");
        QTest::addColumn<QString>("street");
        QTest::addColumn<QString>("flat");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all parts") << 3 << true << "UL. Długa"
                                   << "3"
                                   << "30-001 Kraków Długa 5 3";
        QTest::newRow("no postal code") << 3 << false << "ul. Długa"
                                        << "3"
                                        << "Kraków Długa 5 3";
        QTest::newRow("version 2 has no house or flat") << 2 << true << "al. Róż"
                                                        << "3"
                                                        << "30-001 Kraków Róż";
        QTest::newRow("empty flat") << 3 << false << "Długa"
                                    << ""
                                    << "Kraków Długa 5";
        // Trimmed before it is cut, so a cut may leave a blank at the end.
        QTest::newRow("cut at 36 at every step") << 3 << true << "Konstantego Ildefonsa Gałczyńskiego"
                                                 << "3"
                                                 << "30-001 Kraków Konstantego Ildefonsa ";
    }
    void address()
    {
        QFETCH(int, version);
        QFETCH(bool, postalCode);
        QFETCH(QString, street);
        QFETCH(QString, flat);
        QFETCH(QString, expected);
        Invoice invoice;
        invoice.street = street;
        invoice.flat = flat;
        ConversionSettings settings;
        settings.postalCode = postalCode;
        Mapping m(documentBlock(invoice, registerBlock("23", "100.00", "23.00")), settings, version);
        QVERIFY(m.accepted);
        QCOMPARE(m.host.trace.at(1), QStringLiteral("  ") + expected);
        QCOMPARE(m.text(field::PartyAddress), cp852(expected));
    }

    void textsAreConvertedAndCut()
    {
        Invoice invoice;
        invoice.number = QStringLiteral("FV/ŚĆ/2014/03/000001-KOREKTA");
        invoice.name = QStringLiteral("Przedsiębiorstwo Handlowo-Usługowe Źródło Sp. z o.o.");
        invoice.nip = QStringLiteral("PL Ł 677-001-02-03");
        for (PolishEncoding encoding : {PolishEncoding::Cp852, PolishEncoding::Mazovia}) {
            ConversionSettings settings;
            settings.ledgerEncoding = encoding;
            Mapping m(documentBlock(invoice, registerBlock("23", "100.00", "23.00")), settings);
            QVERIFY(m.accepted);
            const auto converted = [encoding](const QString& text) {
                return FromWindows1250(encodeWindows1250(text), encoding);
            };
            QCOMPARE(m.text(field::DocNo), converted(invoice.number.left(22)));
            QCOMPARE(m.text(field::PartyName), converted(invoice.name.left(36)));
            QCOMPARE(m.text(field::PartyName).size(), 36);
            QCOMPARE(m.text(field::Description), converted(invoice.description));
            // The tax number is stored as read.
            QCOMPARE(m.text(field::PartyNip), encodeWindows1250(invoice.nip));
            QCOMPARE(m.run.entry.bytes().mid(field::SpareText.offset, 13), QByteArray(13, '\0'));
            // The trace shows the texts before conversion.
            QVERIFY(m.host.trace.at(0).contains(invoice.name.left(36) + QStringLiteral(" | NIP:")));
        }
        QCOMPARE(cp852(QStringLiteral("Łódź")), QByteArray("\x9d\xa2"
                                                           "d\xab"));
    }

    void defaultDescription_data()
    {
        QTest::addColumn<QString>("opis");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<bool>("always");
        QTest::addColumn<QString>("expected");
        QTest::newRow("own description kept") << "Towar"
                                              << "Usługi" << false << "Towar";
        QTest::newRow("empty gets the default") << ""
                                                << "Usługi" << false << "Usługi";
        QTest::newRow("always the default") << "Towar"
                                            << "Usługi" << true << "Usługi";
        QTest::newRow("both empty") << ""
                                    << "" << false << "";
        QTest::newRow("always, default empty") << "Towar"
                                               << "" << true << "";
        QTest::newRow("default cut to 36")
            << "" << QString(40, QChar(0x015b)) << false << QString(36, QChar(0x015b));
    }
    void defaultDescription()
    {
        QFETCH(QString, opis);
        QFETCH(QString, defaultText);
        QFETCH(bool, always);
        QFETCH(QString, expected);
        Invoice invoice;
        invoice.description = opis;
        ConversionSettings settings;
        settings.defaultDescription = defaultText;
        settings.alwaysDescription = always;
        Mapping m(documentBlock(invoice, registerBlock("23", "100.00", "23.00")), settings);
        QVERIFY(m.accepted);
        QCOMPARE(m.text(field::Description), cp852(expected));
    }

    void shorterDefaultLeavesTheRestOfTheField()
    {
        // Only the length byte and the new text are written: the bytes after
        // it keep the document's own description, not yet converted.
        ConversionSettings settings;
        settings.defaultDescription = QStringLiteral("Usługi");
        settings.alwaysDescription = true;
        Mapping m(documentBlock(Invoice(), registerBlock("23", "100.00", "23.00")), settings);
        const QByteArray field = m.run.entry.bytes().mid(field::Description.offset, field::Description.width);
        QByteArray expected = char(6) + cp852(QStringLiteral("Usługi")) + QByteArray("a\xbf towar\xf3w");
        expected.append(QByteArray(37 - expected.size(), '\0'));
        PRZ_COMPARE_BYTES(field, expected);
    }

    void letterSettings_data()
    {
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QString>("registerId");
        QTest::addColumn<int>("attributeByte");
        QTest::addColumn<int>("registerByte");
        QTest::newRow("empty") << ""
                               << "" << 0 << 0;
        QTest::newRow("letters") << "K"
                                 << "S" << int('K') << int('S');
        QTest::newRow("first character only") << "AB"
                                              << "xy" << int('A') << int('x');
        QTest::newRow("low 8 bits") << "Ś"
                                    << "ł" << 0x5A << 0x42;
    }
    void letterSettings()
    {
        QFETCH(QString, attribute);
        QFETCH(QString, registerId);
        QFETCH(int, attributeByte);
        QFETCH(int, registerByte);
        ConversionSettings settings;
        settings.attribute = attribute;
        settings.registerId = registerId;
        Mapping m(documentBlock(Invoice(), registerBlock("23", "100.00", "23.00")), settings);
        QCOMPARE(m.byte(field::Attribute), attributeByte);
        QCOMPARE(m.byte(field::RegisterId), registerByte);
    }

    void documentWithoutKind()
    {
        QString block = documentBlock(Invoice(), registerBlock("23", "100.00", "23.00"));
        block.remove(QStringLiteral("\trodzaj_dok = sprzedaży\n"));
        Mapping m(block);
        QVERIFY(m.blockAccepted);
        QVERIFY(m.accepted);
        QCOMPARE(m.host.trace.first(), QStringLiteral("Nieokreślony typ rejestru !"));
        QCOMPARE(m.host.trace.size(), 4);
        QCOMPARE(m.byte(field::RegisterKind), 0);
        QCOMPARE(m.byte(field::Kol1Nr), 0);
        QCOMPARE(m.byte(field::EntryKind), 3);
        QCOMPARE(m.real(field::Kol1W), 100.0);
    }

    void datesAndDueDate()
    {
        Invoice invoice;
        invoice.date = QStringLiteral("2014-3-5");
        invoice.dueDate = QString();
        Mapping m(documentBlock(invoice, registerBlock("23", "100.00", "23.00")));
        QVERIFY(m.accepted);
        QCOMPARE(m.run.entry.date(field::DocDate), (LedgerDate{0, 3, 2014}));
        QCOMPARE(m.run.entry.date(field::DocDateA), (LedgerDate{0, 3, 2014}));
        QCOMPARE(m.run.entry.date(field::DueDate), LedgerDate{});
        QCOMPARE(m.host.trace.at(0), QStringLiteral("Błąd określenia MIESIĄCA w \"2014-3-5\""));
        QCOMPARE(m.host.trace.at(1), QStringLiteral("Błąd określenia DNIA w \"2014-3-5\""));
        QCOMPARE(m.host.trace.at(4), QStringLiteral(" z dnia  0- 3-2014 na kwotę netto=") + zl("100,00") +
                                         QStringLiteral(", vat=") + zl("23,00"));
    }
};

QTEST_GUILESS_MAIN(DocumentFieldsTest)
#include "test_document_fields.moc"
