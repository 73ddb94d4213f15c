// The main window's options read from section MAIN into the options of a run,
// as the command-line converter does with --settings.
#include "settings/MainSettings.h"
#include "settings/SettingsStore.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace przenosnik;

namespace {

ConversionSettings applied(const char* text, ConversionSettings settings = {})
{
    applyMainSettings(SettingsStore(QStringLiteral("MAIN"), IniFile::fromBytes(text)), settings);
    return settings;
}

} // namespace

class MainSettingsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysInTableOrder()
    {
        QCOMPARE(mainSettingKeys(),
                 QStringList({"RB_852_Checked", "RB_MAZ_Checked", "FE_EPP_Text", "Edit_Atrybut_Text",
                              "Edit_OPIS_Text", "Edit_REJ_Text", "chb_kod_Checked", "de_KPR_Text",
                              "chb_Sym2006_Checked", "chb_def_opis_Checked", "chb_Szablon31_Checked",
                              "chb_duplikaty_Checked"}));
        ConversionSettings settings;
        QStringList listed;
        for (const StoredValue& entry : mainStoredValues(settings))
            listed.append(entry.key());
        QCOMPARE(listed, mainSettingKeys());
    }

    void radioKeysDecideEncoding_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("expected");
        const int maz = int(PolishEncoding::Mazovia);
        const int cp852 = int(PolishEncoding::Cp852);
        QTest::newRow("both TRUE: MAZ is later")
            << QByteArray("RB_852_Checked=TRUE\nRB_MAZ_Checked=TRUE\n") << cp852 << maz;
        QTest::newRow("both TRUE, file order reversed")
            << QByteArray("RB_MAZ_Checked=TRUE\nRB_852_Checked=TRUE\n") << cp852 << maz;
        QTest::newRow("852 chosen") << QByteArray("RB_852_Checked=TRUE\nRB_MAZ_Checked=FALSE\n") << maz
                                    << cp852;
        QTest::newRow("MAZ chosen") << QByteArray("RB_852_Checked=FALSE\nRB_MAZ_Checked=TRUE\n") << cp852
                                    << maz;
        QTest::newRow("both FALSE") << QByteArray("RB_852_Checked=FALSE\nRB_MAZ_Checked=FALSE\n") << maz
                                    << cp852;
        QTest::newRow("852 TRUE alone clears MAZ") << QByteArray("RB_852_Checked=TRUE\n") << maz << cp852;
        QTest::newRow("852 FALSE alone keeps MAZ") << QByteArray("RB_852_Checked=FALSE\n") << maz << maz;
        QTest::newRow("MAZ yes") << QByteArray("RB_MAZ_Checked=yes\n") << cp852 << maz;
        QTest::newRow("MAZ unconvertible keeps") << QByteArray("RB_MAZ_Checked=Q\n") << maz << maz;
        QTest::newRow("852 TRUE, MAZ unconvertible")
            << QByteArray("RB_852_Checked=1\nRB_MAZ_Checked=Q\n") << maz << cp852;
        QTest::newRow("no keys") << QByteArray() << cp852 << cp852;
    }

    void radioKeysDecideEncoding()
    {
        QFETCH(QByteArray, keys);
        QFETCH(int, start);
        QFETCH(int, expected);
        ConversionSettings settings;
        settings.ledgerEncoding = PolishEncoding(start);
        const QByteArray file = "[MAIN]\n" + keys;
        QCOMPARE(int(applied(file.constData(), settings).ledgerEncoding), expected);
    }

    void postalCodeBox_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("start");
        QTest::addColumn<bool>("expected");
        QTest::newRow("yes") << QByteArray("yes") << false << true;
        QTest::newRow("1") << QByteArray("1") << false << true;
        QTest::newRow("empty") << QByteArray("") << true << false;
        QTest::newRow("Q keeps false") << QByteArray("Q") << false << false;
        QTest::newRow("Q keeps true") << QByteArray("Q") << true << true;
    }

    void postalCodeBox()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, start);
        QFETCH(bool, expected);
        ConversionSettings settings;
        settings.postalCode = start;
        const QByteArray file = "[MAIN]\nchb_kod_Checked=" + value + "\n";
        QCOMPARE(applied(file.constData(), settings).postalCode, expected);
    }

    void readsAllElevenValues()
    {
        const ConversionSettings s = applied("[main]\r\n"
                                             "RB_852_Checked=FALSE\r\nRB_MAZ_Checked=TRUE\r\n"
                                             "FE_EPP_Text=C:\\Eksport\\FVS0312.TXT\r\n"
                                             "Edit_Atrybut_Text=AB\r\n"
                                             "Edit_OPIS_Text=   Sprzeda\xBF towar\xF3w   \r\n"
                                             "Edit_REJ_Text=R\r\n"
                                             "chb_kod_Checked=Y\r\n"
                                             "de_KPR_Text=C:\\KPR\\FIRMA1\\\r\n"
                                             "chb_Sym2006_Checked=FALSE\r\n"
                                             "chb_def_opis_Checked=TRUE\r\n"
                                             "chb_Szablon31_Checked=0\r\n");
        QCOMPARE(s.ledgerEncoding, PolishEncoding::Mazovia);
        QCOMPARE(s.exportFile, QStringLiteral("C:\\Eksport\\FVS0312.TXT"));
        // A value longer than the edit allows is kept whole.
        QCOMPARE(s.attribute, QStringLiteral("AB"));
        QCOMPARE(s.defaultDescription, QStringLiteral("Sprzedaż towarów"));
        QCOMPARE(s.registerId, QStringLiteral("R"));
        QCOMPARE(s.postalCode, true);
        QCOMPARE(s.companyDirectory, QStringLiteral("C:\\KPR\\FIRMA1\\"));
        QCOMPARE(s.sym2006, false);
        QCOMPARE(s.alwaysDescription, true);
        QCOMPARE(s.szablon31, false);
        QCOMPARE(s.dryRun, false);
    }

    void missingKeysKeepGivenValues()
    {
        ConversionSettings start;
        start.exportFile = QStringLiteral("given.txt");
        start.sym2006 = false;
        start.dryRun = true;
        const ConversionSettings s = applied("[MAIN]\nFormVersion=0\nchb_def_opis_Checked=maybe\n[OTHER]\n"
                                             "FE_EPP_Text=not mine.txt\n",
                                             start);
        QCOMPARE(s.exportFile, QStringLiteral("given.txt"));
        QCOMPARE(s.sym2006, false);
        QCOMPARE(s.alwaysDescription, false);
        QCOMPARE(s.szablon31, true);
        QCOMPARE(s.dryRun, true);
    }

    void savedOptionsReadBackTheSame()
    {
        ConversionSettings saved;
        saved.exportFile = QStringLiteral("/dane/FVS 01.TXT");
        saved.companyDirectory = QStringLiteral("/kpr/firma/");
        saved.ledgerEncoding = PolishEncoding::Mazovia;
        saved.sym2006 = false;
        saved.postalCode = true;
        saved.attribute = QStringLiteral("Z");
        saved.registerId = QStringLiteral("S");
        saved.defaultDescription = QStringLiteral("Usługa");
        saved.alwaysDescription = true;
        saved.szablon31 = false;
        saved.skipDuplicates = false;
        SettingsStore store(QStringLiteral("MAIN"), IniFile());
        saveStoredValues(store, mainStoredValues(saved));
        QCOMPARE(store.value(QStringLiteral("RB_852_Checked")), std::optional<QString>("FALSE"));
        QCOMPARE(store.value(QStringLiteral("RB_MAZ_Checked")), std::optional<QString>("TRUE"));

        const ConversionSettings read = applied(store.contents().toBytes().constData());
        QCOMPARE(read.exportFile, saved.exportFile);
        QCOMPARE(read.companyDirectory, saved.companyDirectory);
        QCOMPARE(read.ledgerEncoding, saved.ledgerEncoding);
        QCOMPARE(read.sym2006, saved.sym2006);
        QCOMPARE(read.postalCode, saved.postalCode);
        QCOMPARE(read.attribute, saved.attribute);
        QCOMPARE(read.registerId, saved.registerId);
        QCOMPARE(read.defaultDescription, saved.defaultDescription);
        QCOMPARE(read.alwaysDescription, saved.alwaysDescription);
        QCOMPARE(read.szablon31, saved.szablon31);
        QCOMPARE(read.skipDuplicates, saved.skipDuplicates);
    }

    void loadingAFileNeverWritesIt()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = QDir(dir.path()).filePath(QStringLiteral("moje ustawienia.ini"));
        const QByteArray original("; comment stays\n  [MAIN]\nFE_EPP_Text = a.txt \nchb_kod_Checked=TRUE\n");
        QVERIFY(test::writeFile(path, original));
        ConversionSettings settings;
        QVERIFY(loadMainSettingsFile(path, settings));
        QCOMPARE(settings.exportFile, QStringLiteral("a.txt"));
        QCOMPARE(settings.postalCode, true);
        PRZ_COMPARE_BYTES(test::readFile(path), original);
    }

    void unreadableFileLeavesSettings()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ConversionSettings settings;
        settings.exportFile = QStringLiteral("kept.txt");
        QVERIFY(!loadMainSettingsFile(QDir(dir.path()).filePath(QStringLiteral("missing.ini")), settings));
        QVERIFY(!loadMainSettingsFile(dir.path(), settings));
        QCOMPARE(settings.exportFile, QStringLiteral("kept.txt"));
    }
};

QTEST_GUILESS_MAIN(MainSettingsTest)
#include "test_main_settings.moc"
